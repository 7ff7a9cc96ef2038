#include <windows.h>

#include "toolkit/win32/screen_capture.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/win32/family.h"
#include "platform/win32/wide.h"
#include "toolkit/win32/gdi.h"
#include "toolkit/win32/user_calls.h"

namespace vu::toolkit::win32 {

namespace {

// Lets pending WM_PAINT messages run so that the picture shows what the script just did.
void FlushPaints() {
  ::RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  MSG message;
  while (Peek(message, WM_PAINT, WM_PAINT)) {
    Dispatch(message);
  }
}

}  // namespace

bool CaptureScreen(const std::string& path) {
  FlushPaints();
  ScreenDC screen;
  if (screen.get() == nullptr) return false;
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  if (width <= 0 || height <= 0) return false;

  MemoryDC memory(screen.get());
  Bitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
  if (memory.get() == nullptr || !bitmap) return false;
  {
    Selection selected(memory.get(), bitmap.get());
    if (!::BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY)) return false;
  }

  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as .bmp files store rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
  if (::GetDIBits(memory.get(), bitmap.get(), 0, height, pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != height) {
    return false;
  }

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  // Windows 9x has no wide file names (_wfopen is a stub there): the code page's path instead.
  std::ofstream out;
  const auto mode = std::ios::binary | std::ios::trunc;
  if (platform::win32::WideCalls()) {
    out.open(std::filesystem::path(platform::win32::WidePath(path)), mode);
  } else {
    out.open(platform::win32::AnsiPath(path), mode);
  }
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace vu::toolkit::win32
