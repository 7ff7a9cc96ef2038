// A picture of the whole screen, for the documentation's screenshots taken by scripts.
#pragma once

#include <string>

namespace vu::toolkit::win32 {

// Repaints every window, then writes the screen as a 24-bit .bmp file; false when it could not.
bool CaptureScreen(const std::string& path);

}  // namespace vu::toolkit::win32
