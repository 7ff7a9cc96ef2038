// The Win32 host of the form toolkit: real windows and common controls for the model's forms,
// twips converted at the screen's real logical pixels per inch, the system's message loop with
// the dialog manager's keyboard handling, and the model's timers scheduled on the system's
// clock. Waiting blocks until a message or the next timer, never spins.
//
// Forms get their windows when first shown; a control's window handle is kept in
// Control::native and a form's in Form::native (labels, images, lines and shapes have none:
// their container paints them).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/program.h"

namespace vu::toolkit::win32 {

struct HostState;

class Win32Host final : public Host {
 public:
  Win32Host();
  Win32Host(const Win32Host&) = delete;
  Win32Host& operator=(const Win32Host&) = delete;
  ~Win32Host() override;

  std::int64_t NowMs() override;
  double SecondsSinceMidnight() override;

  void DoEvents() override;
  void WaitForEvent() override;
  void RunModal(Form& form) override;
  int Run() override;

  bool Screenshot(const std::string& path) override;

  int ScreenWidthPixels() override;
  int ScreenHeightPixels() override;
  int TwipsPerPixelX() override;
  int TwipsPerPixelY() override;

  void FormCreated(Form& form) override;
  void FormShown(Form& form) override;
  void FormHidden(Form& form) override;
  void FormCaptionChanged(Form& form) override;
  void ControlChanged(Control& control, Prop prop) override;
  void FocusChanged(Form& form, Control* control) override;

  // The screen's logical pixels per inch that twips are converted with.
  int dpiX() const;
  int dpiY() const;

 private:
  void DestroyWindows();

  std::unique_ptr<HostState> state_;
};

}  // namespace vu::toolkit::win32
