#pragma once
// The help source: a small line-based markup.
//
//   # a comment                        !title Caption of the help window
//   !contents topic_id                 !book Name of a contents book (empty: top level)
//   == topic_id Title of the topic     starts a topic
//   !keywords word; another word       index entries of the current topic
//   !map 1001                          the context number programs open the topic by
//   Text lines make a paragraph; a blank line ends it.
//   - starts a bulleted paragraph; following lines continue it.
//   *bold*   [link text](topic_id)   \* \[ \] for the characters themselves; any
//   other backslash stands for itself (C:\WINDOWS).

#include <string_view>

#include "tools/helpc/document.h"

namespace vu::helpc {

// Throws SourceError with the line of the first fault.
Document ParseMarkup(std::string_view source);

}  // namespace vu::helpc
