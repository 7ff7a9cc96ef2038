// What the Win32 host keeps between calls, shared by its window procedures, its painting and its
// loops: the windows it made for the model, its GDI cache, its clock, the modal shows under way
// and an exception caught inside a window procedure, held until the loop can rethrow it.
// Include <windows.h> before this header.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <exception>
#include <limits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "toolkit/program.h"
#include "toolkit/win32/gdi.h"
#include "toolkit/win32/gdi_cache.h"

namespace vu::toolkit::win32 {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

// Window classes of the host: top-level forms, frames and picture boxes, the timer window.
inline constexpr char kFormClass[] = "VelloriaForm";
inline constexpr char kPanelClass[] = "VelloriaPanel";
inline constexpr char kSchedulerClass[] = "VelloriaScheduler";

// A modal show in progress: the windows it disabled and the one that had the activation.
struct ModalFrame {
  Form* form = nullptr;
  std::vector<HWND> disabled;
  HWND previousActive = nullptr;
  bool restored = false;
};

struct HostState {
  HostState(Host& host, HINSTANCE instance, int dpiX, int dpiY)
      : host(host), instance(instance), dpiX(dpiX), dpiY(dpiY), gdi(instance, dpiY) {}
  HostState(const HostState&) = delete;
  HostState& operator=(const HostState&) = delete;

  Host& host;
  HINSTANCE instance;
  int dpiX;
  int dpiY;
  GdiCache gdi;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();

  std::vector<Window> forms;  // the top-level windows; their children go with them
  std::unordered_map<HWND, Form*> formOf;
  std::unordered_map<HWND, Control*> controlOf;
  Window scheduler;  // receives WM_TIMER when a toolkit timer falls due
  std::int64_t armedDue = kNever;

  std::vector<ModalFrame> modals;
  std::exception_ptr pending;
  bool closing = false;        // windows are being destroyed: no more model calls
  int focusSync = 0;           // above 0 while the host itself moves the focus
  Control* pressed = nullptr;  // a windowless control under a pressed mouse button

  Program* program() const { return host.program(); }
  std::int64_t NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
  }
  Form* FormOf(HWND window) const {
    auto it = formOf.find(window);
    return it == formOf.end() ? nullptr : it->second;
  }
  Control* ControlOf(HWND window) const {
    auto it = controlOf.find(window);
    return it == controlOf.end() ? nullptr : it->second;
  }

  // Runs model code from a window procedure: no exception may cross the system's frames, so
  // the first one is kept and the loop rethrows it once DispatchMessage has returned.
  template <typename F>
  void Guard(F&& action) noexcept {
    try {
      action();
    } catch (...) {
      if (!pending) pending = std::current_exception();
    }
  }
  void RethrowPending() {
    if (pending) std::rethrow_exception(std::exchange(pending, nullptr));
  }
};

// Moves the focus to |window| without reporting it back to the model as the user's doing.
void SetFocusQuietly(HostState& state, HWND window);

}  // namespace vu::toolkit::win32
