// shortcutMod: the broken-shortcut finder. The search records every shortcut of the system drive
// with its target during a run's initialisation; the removal deletes those whose target is gone.
#pragma once

#include <string>
#include <string_view>

#include "optimizer/engine/engine.h"
#include "optimizer/engine/state.h"
#include "platform/shell.h"

namespace vu::optimizer {

// Fills the shortcut table from the root of the system drive. False when the search could not
// see every shortcut: the table overflowed, a folder could not be listed, a shortcut could not be
// read, or there is no system directory to take the drive from.
bool FindShortcuts(Engine& engine);

// Records every file matching |pattern| in |folder| whose attributes are exactly archive (32) or
// normal (128), then does the same in every subfolder that is neither hidden nor system (nor a
// reparse point, which could lead back into itself). Yields after every entry of a folder
// listing. False when something could not be seen (see FindShortcuts).
bool FindFiles(Engine& engine, std::string_view pattern, std::string_view folder,
               ShortcutTable& table);

// The target path the shell reports for a shortcut file, or "" when it cannot be read or would
// not fit in the shell's 260-character buffer. |status| receives the shell's answer, to tell a
// file that is no readable shortcut from a read that failed (IsFailedRead).
std::string GetShortcutTarget(vu::platform::Shell& shell, std::string_view linkPath,
                              vu::platform::Status* status = nullptr);

// Deletes every recorded shortcut whose target IsMissingFile, and then its folder when that left
// the folder empty (never a drive root, the Windows folder, a folder directly in it, a folder
// the shell keeps for itself, Program Files or Common Files). True when every deletion it
// attempted took effect and every target could be judged.
bool RemoveBrokenShortcuts(Engine& engine);

}  // namespace vu::optimizer
