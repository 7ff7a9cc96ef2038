// The fonts, brushes, pens, pictures and icons the host draws with, created on first use and
// kept until the host goes: a form repaints many times with the same few of each.
// Include <windows.h> before this header.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "toolkit/control.h"
#include "toolkit/win32/gdi.h"

namespace vu::toolkit::win32 {

// The COLORREF of a toolkit colour (system colours through GetSysColor).
COLORREF ResolveColor(Color color);

// A bitmap resource and its size in pixels.
struct Picture {
  Bitmap bitmap;
  int width = 0;
  int height = 0;
};

// Magenta marks the transparent pixels of the artwork (the ticks drawn over any background).
constexpr COLORREF kTransparentKey = RGB(255, 0, 255);

class GdiCache {
 public:
  GdiCache(HINSTANCE resources, int dpiY) : resources_(resources), dpiY_(dpiY) {}
  GdiCache(const GdiCache&) = delete;
  GdiCache& operator=(const GdiCache&) = delete;

  // |name| at |points| (the height follows the screen's logical pixels per inch).
  HFONT Font(const std::string& name, double points, bool bold);
  HFONT FontOf(const Control& control) {
    return Font(control.fontName(), control.fontSize(), control.bold());
  }
  HBRUSH Brush(Color color);
  HPEN Pen(Color color);
  // The BITMAP resource named |name| (artwork names are resource names); null when absent.
  const Picture* FindPicture(const std::string& name);
  // The ICON resource |name| at |size| pixels; an empty name or an absent one gives icon 1,
  // the program's own.
  HICON FindIcon(const std::string& name, int size);

 private:
  HINSTANCE resources_;
  int dpiY_;
  std::map<std::tuple<std::string, double, bool>, win32::Font> fonts_;
  std::map<COLORREF, win32::Brush> brushes_;
  std::map<COLORREF, win32::Pen> pens_;
  std::map<std::string, Picture> pictures_;
  std::map<std::pair<std::string, int>, win32::Icon> icons_;
};

// Draws |picture| with its top left corner at (x, y), leaving the magenta pixels out.
void DrawPicture(HDC dc, const Picture& picture, int x, int y);

}  // namespace vu::toolkit::win32
