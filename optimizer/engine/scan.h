// The "file map of your system": a walk over the system drive that keeps a step busy until its
// progress animation has ended. It computes nothing and keeps nothing.
#pragma once

#include <string>

#include "optimizer/engine/engine.h"

namespace vu::optimizer {

// How deep the walk goes below the folder it starts in. Deeper folders would need paths longer
// than the system's path limit, and every level holds an open listing.
inline constexpr int kScanDepthLimit = 128;

// Walks |folder| depth first until the step's bar is full (checked before every
// entry) or the folders run out. For each folder entry it yields once and, one time in three,
// shows the first line of a file of more than 1000 bytes (on a line the user never sees). Folders
// that are reparse points (junctions, links) are not entered, so that a link cannot make it loop.
void ScanDriveForShow(Engine& engine, const std::string& folder);

}  // namespace vu::optimizer
