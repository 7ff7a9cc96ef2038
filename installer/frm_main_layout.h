// The layout frmMain's pages share: the text column right of the picture and the button row.
#pragma once

#include "toolkit/control.h"

namespace vu::installer::layout {

inline constexpr int kLeft = 2160;  // the text column, right of the picture
inline constexpr int kWidth = 4920;
inline constexpr int kButtonTop = 3480;
inline constexpr int kButtonWidth = 1215;
inline constexpr int kButtonHeight = 375;

inline toolkit::Design Text(int top, int height, const char* caption, bool visible = true) {
  return toolkit::Design{.left = kLeft,
                         .top = top,
                         .width = kWidth,
                         .height = height,
                         .caption = caption,
                         .visible = visible};
}

inline toolkit::Design Button(int left, const char* caption) {
  return toolkit::Design{.left = left,
                         .top = kButtonTop,
                         .width = kButtonWidth,
                         .height = kButtonHeight,
                         .caption = caption};
}

}  // namespace vu::installer::layout
