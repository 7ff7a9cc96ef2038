// Owners of the GDI and USER handles the host creates: each releases its handle exactly once and
// cannot be copied. Include <windows.h> before this header.
#pragma once

#include <windows.h>

#include <utility>

namespace vu::toolkit::win32 {

// A font, brush, pen or bitmap, deleted with DeleteObject.
template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T handle) : handle_(handle) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  ~GdiObject() { Reset(); }

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset() {
    if (handle_ != nullptr) ::DeleteObject(handle_);
    handle_ = nullptr;
  }

 private:
  T handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;

// An icon loaded from the resources without LR_SHARED, destroyed with DestroyIcon.
class Icon {
 public:
  Icon() = default;
  explicit Icon(HICON icon) : icon_(icon) {}
  Icon(const Icon&) = delete;
  Icon& operator=(const Icon&) = delete;
  Icon(Icon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
  Icon& operator=(Icon&& other) noexcept {
    if (this != &other) {
      if (icon_ != nullptr) ::DestroyIcon(icon_);
      icon_ = std::exchange(other.icon_, nullptr);
    }
    return *this;
  }
  ~Icon() {
    if (icon_ != nullptr) ::DestroyIcon(icon_);
  }
  HICON get() const { return icon_; }

 private:
  HICON icon_ = nullptr;
};

// A memory device context compatible with |reference|, deleted with DeleteDC.
class MemoryDC {
 public:
  explicit MemoryDC(HDC reference) : dc_(::CreateCompatibleDC(reference)) {}
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  ~MemoryDC() {
    if (dc_ != nullptr) ::DeleteDC(dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// The screen's device context, released with ReleaseDC.
class ScreenDC {
 public:
  ScreenDC() : dc_(::GetDC(nullptr)) {}
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  ~ScreenDC() {
    if (dc_ != nullptr) ::ReleaseDC(nullptr, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a device context for the scope and puts the previous one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// BeginPaint / EndPaint for one WM_PAINT.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { ::EndPaint(window_, &paint_); }
  HDC dc() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// A top-level window the host created, destroyed with DestroyWindow (its children go with it).
class Window {
 public:
  Window() = default;
  explicit Window(HWND window) : window_(window) {}
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  Window(Window&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
  Window& operator=(Window&& other) noexcept {
    if (this != &other) {
      Reset();
      window_ = std::exchange(other.window_, nullptr);
    }
    return *this;
  }
  ~Window() { Reset(); }
  HWND get() const { return window_; }
  void Reset() {
    if (window_ != nullptr && ::IsWindow(window_)) ::DestroyWindow(window_);
    window_ = nullptr;
  }

 private:
  HWND window_ = nullptr;
};

}  // namespace vu::toolkit::win32
