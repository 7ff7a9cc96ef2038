#include <windows.h>

#include "toolkit/win32/host.h"

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/text.h"
#include "toolkit/layout.h"
#include "toolkit/win32/host_state.h"
#include "toolkit/win32/loop.h"
#include "toolkit/win32/procs.h"
#include "toolkit/win32/realize.h"
#include "toolkit/win32/screen_capture.h"
#include "toolkit/win32/units.h"
#include "toolkit/win32/user_calls.h"

namespace vu::toolkit::win32 {

namespace {

HWND AsWindow(std::uintptr_t native) {
  return reinterpret_cast<HWND>(native);
}

int ScreenCaps(int index) {
  ScreenDC screen;
  const int value = screen.get() != nullptr ? ::GetDeviceCaps(screen.get(), index) : 0;
  return value > 0 ? value : 96;
}

void Restore(ModalFrame& frame) {
  for (HWND window : frame.disabled) {
    if (::IsWindow(window)) ::EnableWindow(window, TRUE);
  }
  frame.restored = true;
}

// With VU_LAYOUT_DIR set, each shown form's layout goes to DIR\<form name>.txt whenever the form
// is shown or something a user sees of it changes, so that tools driving the windows from
// outside (mouse clicks) know where the controls are and what they show. Tools set it; users
// never do. The file is replaced whole, so that a reader never sees half of it.
void ExposeLayout(const HostState& state, const Form& form) {
  if (form.native == 0 || !form.visible()) return;
  // The ANSI calls: form names are plain ASCII, and they serve both Windows families.
  const DWORD size = ::GetEnvironmentVariableA("VU_LAYOUT_DIR", nullptr, 0);
  if (size == 0) return;
  std::string dir(size, '\0');
  dir.resize(::GetEnvironmentVariableA("VU_LAYOUT_DIR", dir.data(), size));
  const std::string path = dir + "\\" + form.name() + ".txt";
  const std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << "dpi " << state.dpiX << " " << state.dpiY << "\n" << DescribeLayout(form);
    if (!out.flush()) return;
  }
  ::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

Win32Host::Win32Host() {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  RegisterWindowClasses(instance);
  state_ =
      std::make_unique<HostState>(*this, instance, ScreenCaps(LOGPIXELSX), ScreenCaps(LOGPIXELSY));
  state_->scheduler = Window(MakeMessageWindow(kSchedulerClass, instance, state_.get()));
}

Win32Host::~Win32Host() {
  // The model may be gone already: only the windows are taken down.
  state_->closing = true;
  state_->forms.clear();
  state_->scheduler.Reset();
}

std::int64_t Win32Host::NowMs() {
  return state_->NowMs();
}

double Win32Host::SecondsSinceMidnight() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

void Win32Host::DoEvents() {
  Pass(*state_);
}

void Win32Host::WaitForEvent() {
  WaitAndPass(*state_);
}

void Win32Host::RunModal(Form& form) {
  HostState& state = *state_;
  // Gives input back to the other forms however the loop is left (End unwinds through here).
  class Release {
   public:
    Release(HostState& state, Form& form) : state_(state), form_(form) {}
    Release(const Release&) = delete;
    Release& operator=(const Release&) = delete;
    ~Release() {
      auto& modals = state_.modals;
      for (auto it = modals.end(); it != modals.begin();) {
        --it;
        if (it->form != &form_) continue;
        if (!it->restored && !state_.closing) Restore(*it);
        modals.erase(it);
        break;
      }
    }

   private:
    HostState& state_;
    Form& form_;
  } release(state, form);
  while (form.visible())
    WaitAndPass(state);
}

int Win32Host::Run() {
  HostState& state = *state_;
  try {
    for (;;) {
      state.RethrowPending();
      Program* program = state.program();
      bool anyVisible = false;
      if (program != nullptr) {
        for (const Form* form : program->forms())
          anyVisible = anyVisible || form->visible();
      }
      // Nothing shown and nothing scheduled: nothing can happen any more.
      if (program == nullptr || (!anyVisible && NextDue(state) == kNever)) {
        DestroyWindows();
        return 0;
      }
      WaitAndPass(state);
    }
  } catch (const EndProgram& end) {
    DestroyWindows();
    return end.exitCode;
  }
}

bool Win32Host::Screenshot(const std::string& path) {
  return CaptureScreen(path);
}

int Win32Host::ScreenWidthPixels() {
  return ::GetSystemMetrics(SM_CXSCREEN);
}
int Win32Host::ScreenHeightPixels() {
  return ::GetSystemMetrics(SM_CYSCREEN);
}
int Win32Host::TwipsPerPixelX() {
  return TwipsPerPixel(state_->dpiX);
}
int Win32Host::TwipsPerPixelY() {
  return TwipsPerPixel(state_->dpiY);
}
int Win32Host::dpiX() const {
  return state_->dpiX;
}
int Win32Host::dpiY() const {
  return state_->dpiY;
}

void Win32Host::FormCreated(Form&) {
  // Windows are made when the form is first shown: most forms of a run are never seen.
}

void Win32Host::FormShown(Form& form) {
  HostState& state = *state_;
  RealizeForm(state, form);
  RealizeNewControls(state, form);
  HWND window = AsWindow(form.native);
  if (window == nullptr) return;
  if (form.modal()) {
    ModalFrame frame;
    frame.form = &form;
    frame.previousActive = ::GetActiveWindow();
    // Owned by the form it was opened from, the dialog stays in front of it.
    if (state.FormOf(frame.previousActive) != nullptr) {
      SetWindowLongOf(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(frame.previousActive));
    }
    if (Program* program = state.program()) {
      for (const Form* other : program->forms()) {
        HWND otherWindow = AsWindow(other->native);
        if (other == &form || otherWindow == nullptr || !::IsWindowEnabled(otherWindow)) continue;
        ::EnableWindow(otherWindow, FALSE);
        frame.disabled.push_back(otherWindow);
      }
    }
    state.modals.push_back(std::move(frame));
  }
  const bool maximize = form.design().maximized && form.design().border != BorderStyle::None;
  ::ShowWindow(window, maximize ? SW_SHOWMAXIMIZED : SW_SHOW);
  ::SetForegroundWindow(window);
  ExposeLayout(state, form);
  state.RethrowPending();
}

void Win32Host::FormHidden(Form& form) {
  HostState& state = *state_;
  HWND window = AsWindow(form.native);
  if (window == nullptr) return;
  HWND reactivate = nullptr;
  for (ModalFrame& frame : state.modals) {
    if (frame.form != &form || frame.restored) continue;
    // The other forms take input again before this one goes, so that the activation returns
    // to the form it was opened from and not to another program.
    Restore(frame);
    reactivate = frame.previousActive;
  }
  ::ShowWindow(window, SW_HIDE);
  if (reactivate != nullptr) {
    SetWindowLongOf(window, GWLP_HWNDPARENT, 0);
    if (::IsWindowVisible(reactivate) && ::IsWindowEnabled(reactivate)) {
      ::SetForegroundWindow(reactivate);
    }
  }
  state.RethrowPending();
}

void Win32Host::FormCaptionChanged(Form& form) {
  HWND window = AsWindow(form.native);
  if (window == nullptr) return;
  SetText(window, form.caption());
  ExposeLayout(*state_, form);
}

void Win32Host::ControlChanged(Control& control, Prop prop) {
  HostState& state = *state_;
  if (prop == Prop::Timer) {
    ArmScheduler(state);
    return;
  }
  ApplyChange(state, control, prop);
  if (prop == Prop::Caption || prop == Prop::Visible || prop == Prop::Enabled ||
      prop == Prop::ZOrder || (prop == Prop::Value && control.kind() != Kind::ProgressBar)) {
    ExposeLayout(state, control.form());
  }
  state.RethrowPending();
}

void Win32Host::FocusChanged(Form& form, Control* control) {
  HostState& state = *state_;
  if (control == nullptr || control->native == 0 || form.native == 0) return;
  HWND window = AsWindow(control->native);
  // A form that is not active gets the focus back from the model when it is activated.
  if (::GetActiveWindow() != AsWindow(form.native) || ::GetFocus() == window) return;
  SetFocusQuietly(state, window);
  state.RethrowPending();
}

void Win32Host::DestroyWindows() {
  HostState& state = *state_;
  state.closing = true;
  for (auto& [window, form] : state.formOf)
    form->native = 0;
  for (auto& [window, control] : state.controlOf)
    control->native = 0;
  state.forms.clear();
  state.formOf.clear();
  state.controlOf.clear();
  state.modals.clear();
  state.pressed = nullptr;
  state.pending = nullptr;
  state.closing = false;
}

}  // namespace vu::toolkit::win32
