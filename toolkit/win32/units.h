// Conversions between the toolkit's units and the screen's: twips to pixels at the screen's real
// logical pixels per inch, point sizes to font heights, and the toolkit's colour values.
// Plain arithmetic, so that the rules can be checked on any resolution.
#pragma once

#include <cstdint>

#include "toolkit/control.h"

namespace vu::toolkit::win32 {

constexpr int kTwipsPerInch = 1440;

// |twips| at |dpi| logical pixels per inch, rounded half away from zero as MulDiv rounds
// (15 twips per pixel at 96, 12 at 120).
int TwipsToPixels(int twips, int dpi);
// The character height in pixels of a |points| font at |dpi|, rounded to the nearest pixel
// (8.25 pt is 11 pixels at 96 and 14 at 120); LOGFONT wants it negated.
int FontPixelHeight(double points, int dpi);
// The run time's Screen.TwipsPerPixelX/Y: whole twips per pixel.
int TwipsPerPixel(int dpi);

// System colours carry the high bit and the COLOR_ index in the low byte.
constexpr bool IsSystemColor(Color color) {
  return (color & 0x80000000u) != 0;
}
constexpr int SystemColorIndex(Color color) {
  return static_cast<int>(color & 0xFFu);
}

}  // namespace vu::toolkit::win32
