#include "toolkit/win32/units.h"

#include <cmath>

namespace vu::toolkit::win32 {

int TwipsToPixels(int twips, int dpi) {
  if (dpi <= 0) return 0;
  const std::int64_t product = static_cast<std::int64_t>(twips) * dpi;
  const std::int64_t half = kTwipsPerInch / 2;
  const std::int64_t rounded =
      product >= 0 ? (product + half) / kTwipsPerInch : -((-product + half) / kTwipsPerInch);
  return static_cast<int>(rounded);
}

int FontPixelHeight(double points, int dpi) {
  if (points <= 0 || dpi <= 0) return 0;
  return static_cast<int>(std::lround(points * dpi / 72.0));
}

int TwipsPerPixel(int dpi) {
  return dpi > 0 ? kTwipsPerInch / dpi : 15;
}

}  // namespace vu::toolkit::win32
