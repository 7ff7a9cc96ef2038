#include <windows.h>

#include "toolkit/win32/loop.h"

#include <algorithm>

#include "toolkit/win32/tab_order.h"
#include "toolkit/win32/user_calls.h"

namespace vu::toolkit::win32 {

namespace {

constexpr UINT_PTR kSchedulerTimer = 1;
// Bounds one pass, so that a flood of messages cannot starve the timers.
constexpr int kMessagesPerPass = 512;

bool KeyDown(int key) {
  return (::GetKeyState(key) & 0x8000) != 0;
}

void PumpPending(HostState& state) {
  MSG message;
  for (int i = 0; i < kMessagesPerPass && Peek(message, 0, 0); ++i) {
    if (message.message == WM_QUIT) {
      if (Program* program = state.program()) program->End(static_cast<int>(message.wParam));
      continue;
    }
    if (!PreTranslate(state, message)) {
      ::TranslateMessage(&message);
      Dispatch(message);
    }
    state.RethrowPending();
  }
}

}  // namespace

std::int64_t NextDue(const HostState& state) {
  const Program* program = state.program();
  if (program == nullptr || program->ended()) return kNever;
  return std::min(program->NextTimerDue(), program->NextScriptDue());
}

void ArmScheduler(HostState& state) {
  const Program* program = state.program();
  const std::int64_t due =
      program == nullptr || program->ended() ? kNever : program->NextTimerDue();
  if (due == state.armedDue || state.scheduler.get() == nullptr) return;
  state.armedDue = due;
  if (due == kNever) {
    ::KillTimer(state.scheduler.get(), kSchedulerTimer);
    return;
  }
  const std::int64_t delay =
      std::clamp<std::int64_t>(due - state.NowMs(), USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  ::SetTimer(state.scheduler.get(), kSchedulerTimer, static_cast<UINT>(delay), nullptr);
}

bool PreTranslate(HostState& state, MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  Form* form = state.FormOf(root);
  if (form == nullptr) return false;
  const bool keyDown = message.message == WM_KEYDOWN;
  if (keyDown && message.wParam == VK_TAB && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
    Control* current = state.ControlOf(::GetFocus());
    if (current == nullptr) current = form->focused();
    if (Control* next = NextTabStop(*form, current, !KeyDown(VK_SHIFT))) form->SetFocus(*next);
    return true;
  }
  // Esc presses the form's cancel button, as in a dialog; on a form without one it means
  // nothing (the dialog manager would send IDCANCEL, which no form handles).
  if ((keyDown || message.message == WM_CHAR) && message.wParam == VK_ESCAPE) {
    if (keyDown) {
      if (const Control* cancel = CancelButton(*form)) {
        Send(reinterpret_cast<HWND>(cancel->native), BM_CLICK, 0, 0);
      }
    }
    return true;
  }
  return DialogMessage(root, message) != FALSE;
}

void Pass(HostState& state) {
  state.RethrowPending();
  PumpPending(state);
  if (Program* program = state.program(); program != nullptr && !program->ended()) {
    program->RunDueTimers(state.NowMs());
    if (!program->ended()) program->PollScript();
  }
  ArmScheduler(state);
}

void WaitAndPass(HostState& state) {
  state.RethrowPending();
  const std::int64_t due = NextDue(state);
  const std::int64_t now = state.NowMs();
  if (due > now) {
    const DWORD timeout = due == kNever
                              ? INFINITE
                              : static_cast<DWORD>(std::min<std::int64_t>(due - now, 0x7FFFFFFE));
    ::MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  Pass(state);
}

}  // namespace vu::toolkit::win32
