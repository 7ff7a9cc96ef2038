#include <windows.h>

#include <commctrl.h>

#include "toolkit/win32/procs.h"

#include "toolkit/win32/host_state.h"
#include "toolkit/win32/loop.h"
#include "toolkit/win32/painter.h"
#include "toolkit/win32/realize.h"
#include "toolkit/win32/user_calls.h"

namespace vu::toolkit::win32 {

namespace {

HostState* StateOf(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    // lpCreateParams sits at the same place in the ANSI and the wide structure.
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetUserData(window, create->lpCreateParams);
  }
  auto* state = static_cast<HostState*>(UserData(window));
  return state != nullptr && !state->closing ? state : nullptr;
}

bool IsButton(Kind kind) {
  return kind == Kind::CommandButton || kind == Kind::CheckBox || kind == Kind::OptionButton;
}

// Messages every surface (form, frame, picture box) handles alike: clicks of the buttons it
// holds, the colours of its child controls, clicks on its labels and images, the hand cursor.
bool HandleSurface(HostState& state, HWND window, Form& form, Control* container, UINT message,
                   WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_ERASEBKGND:
      result = 1;  // WM_PAINT covers everything
      return true;
    case WM_PAINT:
      state.Guard([&] { PaintSurface(state, window, form, container); });
      result = 0;
      return true;
    case WM_PRINTCLIENT: {
      RECT client{};
      ::GetClientRect(window, &client);
      HDC dc = reinterpret_cast<HDC>(wParam);
      state.Guard([&] { DrawSurface(state, dc, client, form, container); });
      result = 0;
      return true;
    }
    case WM_COMMAND: {
      HWND source = reinterpret_cast<HWND>(lParam);
      Control* control = state.ControlOf(source);
      // The dialog manager sends IDOK with the focused window when there is no default button.
      if (control == nullptr || HIWORD(wParam) != BN_CLICKED || !IsButton(control->kind()) ||
          LOWORD(wParam) != ::GetDlgCtrlID(source)) {
        return false;
      }
      state.Guard([&] { control->UserClick(); });
      result = 0;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: {
      Control* control = state.ControlOf(reinterpret_cast<HWND>(lParam));
      if (control == nullptr) return false;
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, ResolveColor(control->foreColor()));
      ::SetBkColor(dc, ResolveColor(control->backColor()));
      result = reinterpret_cast<LRESULT>(state.gdi.Brush(control->backColor()));
      return true;
    }
    case WM_LBUTTONDOWN: {
      const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      state.pressed = WindowlessAt(state, form, container, point);
      if (state.pressed != nullptr) ::SetCapture(window);
      return false;
    }
    case WM_LBUTTONUP: {
      Control* pressed = std::exchange(state.pressed, nullptr);
      if (pressed == nullptr) return false;
      if (::GetCapture() == window) ::ReleaseCapture();
      const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (WindowlessAt(state, form, container, point) == pressed) {
        state.Guard([&] { pressed->UserClick(); });
      }
      result = 0;
      return true;
    }
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT || reinterpret_cast<HWND>(wParam) != window) return false;
      POINT point{};
      ::GetCursorPos(&point);
      ::ScreenToClient(window, &point);
      const Control* control = WindowlessAt(state, form, container, point);
      if (control == nullptr || !control->handCursor()) return false;
      ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
      result = TRUE;
      return true;
    }
    default:
      return false;
  }
}

// Enter presses the focused push button, else the form's default button.
LRESULT DefaultButton(const HostState& state, const Form& form) {
  HWND focus = ::GetFocus();
  const Control* focused = state.ControlOf(focus);
  if (focused != nullptr && &focused->form() == &form && focused->kind() == Kind::CommandButton) {
    return MAKELRESULT(::GetDlgCtrlID(focus), DC_HASDEFID);
  }
  for (const auto& control : form.controls()) {
    if (!control->isDefault() || control->native == 0) continue;
    if (!control->shown() || !control->usable()) continue;
    return MAKELRESULT(::GetDlgCtrlID(reinterpret_cast<HWND>(control->native)), DC_HASDEFID);
  }
  return 0;
}

bool RestoreFocus(HostState& state, const Form& form) {
  const Control* focused = form.focused();
  if (focused == nullptr || focused->native == 0) return false;
  HWND window = reinterpret_cast<HWND>(focused->native);
  if (!::IsWindowVisible(window) || !::IsWindowEnabled(window)) return false;
  SetFocusQuietly(state, window);
  return true;
}

}  // namespace

void SetFocusQuietly(HostState& state, HWND window) {
  ++state.focusSync;
  ::SetFocus(window);
  --state.focusSync;
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HostState* state = StateOf(window, message, lParam);
  Form* form = state != nullptr ? state->FormOf(window) : nullptr;
  if (form == nullptr) return DefProc(window, message, wParam, lParam);
  LRESULT result = 0;
  if (HandleSurface(*state, window, *form, nullptr, message, wParam, lParam, result)) {
    return result;
  }
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        // Give the focus back to the control the model holds it on, not to the frame.
        if (RestoreFocus(*state, *form)) return 0;
        break;
      }
      // A dialog this form opened (it owns it) takes the activation only for a while.
      if (HWND next = reinterpret_cast<HWND>(lParam);
          next == nullptr || ::GetWindow(next, GW_OWNER) != window) {
        if (form->onLostFocus) state->Guard([&] { form->onLostFocus(); });
      }
      break;
    case WM_HELP:
      // F1 opens the topic of what the form shows, or the contents of the program's help file.
      if (Program* program = state->program(); program != nullptr && !program->helpFile().empty()) {
        std::uint32_t context = 0;
        state->Guard([&] { context = form->HelpContext(); });
        OpenHelp(window, program->helpFile(), context != 0 ? HELP_CONTEXT : HELP_FINDER, context);
      }
      return TRUE;
    case WM_CLOSE:
      if (form->onClose) state->Guard([&] { form->onClose(); });
      return 0;
    case DM_GETDEFID:
      return DefaultButton(*state, *form);
    default:
      break;
  }
  return DefProc(window, message, wParam, lParam);
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HostState* state = StateOf(window, message, lParam);
  Control* panel = state != nullptr ? state->ControlOf(window) : nullptr;
  if (panel == nullptr) return DefProc(window, message, wParam, lParam);
  LRESULT result = 0;
  if (HandleSurface(*state, window, panel->form(), panel, message, wParam, lParam, result)) {
    return result;
  }
  return DefProc(window, message, wParam, lParam);
}

LRESULT CALLBACK SchedulerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HostState* state = StateOf(window, message, lParam);
  if (state == nullptr || message != WM_TIMER) {
    return DefProc(window, message, wParam, lParam);
  }
  // Also reached from loops the host does not run (a dragged window, a system dialog).
  state->armedDue = kNever;
  ::KillTimer(window, wParam);
  state->Guard([&] {
    if (Program* program = state->program(); program != nullptr && !program->ended()) {
      program->RunDueTimers(state->NowMs());
    }
  });
  ArmScheduler(*state);
  return 0;
}

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = static_cast<HostState*>(SubclassData(window));
  const LRESULT result = CallOriginal(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    RemoveSubclass(window);
    return result;
  }
  if (state == nullptr) return result;
  if (message == WM_SETFOCUS && !state->closing && state->focusSync == 0) {
    // The user moved the focus (a click, an access key): the model follows and raises the
    // focus events.
    if (Control* control = state->ControlOf(window)) {
      state->Guard([&] { control->form().SetFocus(*control); });
    }
  }
  return result;
}

}  // namespace vu::toolkit::win32
