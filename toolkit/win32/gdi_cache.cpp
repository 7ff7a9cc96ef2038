#include <windows.h>

#include "toolkit/win32/gdi_cache.h"

#include "platform/text.h"
#include "platform/win32/family.h"
#include "toolkit/win32/units.h"

namespace vu::toolkit::win32 {

namespace {

std::wstring WideText(const std::string& utf8) {
  const std::u16string text = platform::Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

}  // namespace

COLORREF ResolveColor(Color color) {
  if (IsSystemColor(color)) return ::GetSysColor(SystemColorIndex(color));
  return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

HFONT GdiCache::Font(const std::string& name, double points, bool bold) {
  const auto key = std::make_tuple(name, points, bold);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second.get();
  LOGFONTW font{};
  font.lfHeight = -FontPixelHeight(points, dpiY_);
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_TT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  HFONT handle = nullptr;
  if (platform::win32::WideCalls()) {
    const std::wstring face = WideText(name);
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    handle = ::CreateFontIndirectW(&font);
  } else {
    // The same fields; only the face name is in the ANSI code page.
    LOGFONTA ansi{};
    ansi.lfHeight = font.lfHeight;
    ansi.lfWeight = font.lfWeight;
    ansi.lfCharSet = font.lfCharSet;
    ansi.lfOutPrecision = font.lfOutPrecision;
    ansi.lfQuality = font.lfQuality;
    ansi.lfPitchAndFamily = font.lfPitchAndFamily;
    lstrcpynA(ansi.lfFaceName, platform::win32::Ansi(name).c_str(), LF_FACESIZE);
    handle = ::CreateFontIndirectA(&ansi);
  }
  if (handle == nullptr) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  return fonts_.emplace(key, win32::Font(handle)).first->second.get();
}

HBRUSH GdiCache::Brush(Color color) {
  if (IsSystemColor(color)) return ::GetSysColorBrush(SystemColorIndex(color));
  const COLORREF rgb = ResolveColor(color);
  auto it = brushes_.find(rgb);
  if (it != brushes_.end()) return it->second.get();
  return brushes_.emplace(rgb, win32::Brush(::CreateSolidBrush(rgb))).first->second.get();
}

HPEN GdiCache::Pen(Color color) {
  const COLORREF rgb = ResolveColor(color);
  auto it = pens_.find(rgb);
  if (it != pens_.end()) return it->second.get();
  return pens_.emplace(rgb, win32::Pen(::CreatePen(PS_SOLID, 1, rgb))).first->second.get();
}

const Picture* GdiCache::FindPicture(const std::string& name) {
  if (name.empty()) return nullptr;
  auto it = pictures_.find(name);
  if (it == pictures_.end()) {
    Picture picture;
    // Resource names are plain ASCII: the ANSI calls serve both families.
    picture.bitmap = Bitmap(static_cast<HBITMAP>(
        ::LoadImageA(resources_, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (picture.bitmap && ::GetObjectA(picture.bitmap.get(), sizeof info, &info) != 0) {
      picture.width = info.bmWidth;
      picture.height = info.bmHeight;
    }
    // An absent picture is remembered too, so that it is not looked for on every repaint.
    it = pictures_.emplace(name, std::move(picture)).first;
  }
  return it->second.bitmap ? &it->second : nullptr;
}

HICON GdiCache::FindIcon(const std::string& name, int size) {
  const auto key = std::make_pair(name, size);
  auto it = icons_.find(key);
  if (it != icons_.end()) return it->second.get();
  HICON icon = nullptr;
  if (!name.empty()) {
    icon = static_cast<HICON>(::LoadImageA(resources_, name.c_str(), IMAGE_ICON, size, size, 0));
  }
  if (icon == nullptr) {
    icon = static_cast<HICON>(
        ::LoadImageA(resources_, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0));
  }
  return icons_.emplace(key, win32::Icon(icon)).first->second.get();
}

// Through a mask and three plain blits rather than msimg32's TransparentBlt, which Windows 95
// lacks and which leaks memory on Windows 98.
void DrawPicture(HDC dc, const Picture& picture, int x, int y) {
  const int width = picture.width, height = picture.height;
  MemoryDC source(dc);
  MemoryDC maskDc(dc);
  Bitmap mask(::CreateBitmap(width, height, 1, 1, nullptr));
  if (source.get() == nullptr || maskDc.get() == nullptr || !mask) return;
  Selection selected(source.get(), picture.bitmap.get());
  Selection maskSelected(maskDc.get(), mask.get());
  // Colour to monochrome: the key colour (the source's background colour) becomes 1, the rest 0.
  ::SetBkColor(source.get(), kTransparentKey);
  ::BitBlt(maskDc.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
  // Monochrome to colour takes 1 as the background (white) and 0 as the text colour (black):
  // where the mask is white the screen is kept, elsewhere the picture replaces it.
  const COLORREF background = ::SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF text = ::SetTextColor(dc, RGB(0, 0, 0));
  ::BitBlt(dc, x, y, width, height, source.get(), 0, 0, SRCINVERT);
  ::BitBlt(dc, x, y, width, height, maskDc.get(), 0, 0, SRCAND);
  ::BitBlt(dc, x, y, width, height, source.get(), 0, 0, SRCINVERT);
  ::SetBkColor(dc, background);
  ::SetTextColor(dc, text);
}

}  // namespace vu::toolkit::win32
