#include <windows.h>

#include "toolkit/win32/painter.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text.h"
#include "toolkit/win32/gdi.h"
#include "toolkit/win32/realize.h"
#include "toolkit/win32/units.h"
#include "toolkit/win32/user_calls.h"

namespace vu::toolkit::win32 {

namespace {

// The windowless controls of a surface, back to front.
std::vector<Control*> Windowless(const Form& form, const Control* container) {
  std::vector<Control*> controls;
  for (const auto& control : form.controls()) {
    if (control->container() != container || IsWindowed(control->kind())) continue;
    if (control->kind() == Kind::Timer || !control->visible()) continue;
    controls.push_back(control.get());
  }
  std::stable_sort(controls.begin(), controls.end(),
                   [](const Control* a, const Control* b) { return a->zOrder() < b->zOrder(); });
  return controls;
}

UINT AlignFormat(Align align) {
  switch (align) {
    case Align::Center:
      return DT_CENTER;
    case Align::Right:
      return DT_RIGHT;
    case Align::Left:
      break;
  }
  return DT_LEFT;
}

void DrawLabel(HostState& state, HDC dc, const Control& label) {
  RECT rect = PixelRect(state, label);
  if (label.border()) ::DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  Selection font(dc, state.gdi.FontOf(label));
  ::SetBkMode(dc, TRANSPARENT);
  // Labels wrap inside their box; one that does not wrap shows its whole line, but a path that
  // does not fit is shortened in the middle.
  UINT format = AlignFormat(label.align()) | DT_EXPANDTABS;
  if (label.compactPath()) {
    format |= DT_SINGLELINE | DT_PATH_ELLIPSIS;
  } else {
    format |= label.wordWrap() ? DT_WORDBREAK : DT_SINGLELINE | DT_NOCLIP;
  }
  const std::string& text = label.caption();
  if (label.enabled()) {
    ::SetTextColor(dc, ResolveColor(label.foreColor()));
    DrawTextOf(dc, text, rect, format);
    return;
  }
  // Disabled text is engraved: a highlight one pixel down and right, grey on top.
  RECT shadow = rect;
  ::OffsetRect(&shadow, 1, 1);
  ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
  DrawTextOf(dc, text, shadow, format);
  ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
  DrawTextOf(dc, text, rect, format);
}

void DrawLine(HostState& state, HDC dc, const Control& line) {
  const int x1 = TwipsToPixels(line.left(), state.dpiX), y1 = TwipsToPixels(line.top(), state.dpiY);
  const int x2 = TwipsToPixels(line.width(), state.dpiX);
  const int y2 = TwipsToPixels(line.height(), state.dpiY);
  Selection pen(dc, state.gdi.Pen(line.foreColor()));
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
  ::SetPixel(dc, x2, y2, ResolveColor(line.foreColor()));  // LineTo leaves the end point out
}

void DrawShape(HostState& state, HDC dc, const Control& shape) {
  RECT rect = PixelRect(state, shape);
  if (shape.shape() == ShapeStyle::FilledRectangle) {
    ::FillRect(dc, &rect, state.gdi.Brush(shape.backColor()));
  }
  ::FrameRect(dc, &rect, state.gdi.Brush(shape.foreColor()));
}

void DrawImage(HostState& state, HDC dc, const Control& image) {
  const Picture* picture = state.gdi.FindPicture(image.picture());
  if (picture == nullptr) return;
  const RECT rect = PixelRect(state, image);
  // The picture keeps its own size; the control's box clips it.
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  DrawPicture(dc, *picture, rect.left, rect.top);
  ::RestoreDC(dc, saved);
}

void DrawFrameBorder(HostState& state, HDC dc, const RECT& client, const Control& frame) {
  Selection font(dc, state.gdi.FontOf(frame));
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  RECT border = client;
  border.top += metrics.tmHeight / 2;
  ::DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
  if (frame.caption().empty()) return;
  const std::string& text = frame.caption();
  RECT label{client.left + 8, client.top, client.right - 8, client.top + metrics.tmHeight};
  RECT measured = label;
  DrawTextOf(dc, text, measured, DT_SINGLELINE | DT_CALCRECT);
  label.right = std::min(label.right, measured.right + 2);
  label.left -= 2;
  ::FillRect(dc, &label, state.gdi.Brush(frame.backColor()));
  label.left += 2;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ResolveColor(frame.enabled() ? frame.foreColor() : kSysButtonShadow));
  DrawTextOf(dc, text, label, DT_SINGLELINE | DT_LEFT);
}

}  // namespace

void DrawSurface(HostState& state, HDC dc, const RECT& client, Form& form, Control* container) {
  const Color back = container != nullptr ? container->backColor() : form.design().backColor;
  ::FillRect(dc, &client, state.gdi.Brush(back));
  if (container == nullptr) {
    for (const FillRect& fill : form.Paint()) {
      const RECT rect{TwipsToPixels(fill.left, state.dpiX), TwipsToPixels(fill.top, state.dpiY),
                      TwipsToPixels(fill.right, state.dpiX),
                      TwipsToPixels(fill.bottom, state.dpiY)};
      ::FillRect(dc, &rect, state.gdi.Brush(fill.color));
    }
  } else if (container->kind() == Kind::Frame) {
    DrawFrameBorder(state, dc, client, *container);
  } else if (const Picture* picture = state.gdi.FindPicture(container->picture())) {
    DrawPicture(dc, *picture, 0, 0);
  }
  for (const Control* control : Windowless(form, container)) {
    switch (control->kind()) {
      case Kind::Label:
        DrawLabel(state, dc, *control);
        break;
      case Kind::Line:
        DrawLine(state, dc, *control);
        break;
      case Kind::Shape:
        DrawShape(state, dc, *control);
        break;
      case Kind::Image:
        DrawImage(state, dc, *control);
        break;
      default:
        break;
    }
  }
}

void PaintSurface(HostState& state, HWND window, Form& form, Control* container) {
  PaintScope paint(window);
  RECT client{};
  ::GetClientRect(window, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  MemoryDC buffer(paint.dc());
  Bitmap pixels(::CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
  if (buffer.get() == nullptr || !pixels) {
    DrawSurface(state, paint.dc(), client, form, container);
    return;
  }
  {
    Selection selected(buffer.get(), pixels.get());
    DrawSurface(state, buffer.get(), client, form, container);
    const RECT& area = paint.area();
    ::BitBlt(paint.dc(), area.left, area.top, area.right - area.left, area.bottom - area.top,
             buffer.get(), area.left, area.top, SRCCOPY);
  }
}

Control* WindowlessAt(const HostState& state, const Form& form, const Control* container,
                      POINT point) {
  const std::vector<Control*> controls = Windowless(form, container);
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    Control* control = *it;
    if (control->kind() != Kind::Label && control->kind() != Kind::Image) continue;
    const RECT rect = PixelRect(state, *control);
    if (::PtInRect(&rect, point)) return control;
  }
  return nullptr;
}

}  // namespace vu::toolkit::win32
