// The host's event loop: one pass lets the queued messages run (through the dialog manager, so
// that access keys, Enter and the tab order work), then the timers that fell due, then the
// automation script. Waiting blocks in MsgWaitForMultipleObjectsEx until a message arrives or
// the next timer or script step falls due, so a program that waits spends no processor time.
// Include <windows.h> before this header.
#pragma once

#include <windows.h>

#include "toolkit/win32/host_state.h"

namespace vu::toolkit::win32 {

// The earliest time a timer or the script needs the loop; kNever when neither does.
std::int64_t NextDue(const HostState& state);
// Sets the scheduler window's WM_TIMER for the next timer due, so that timers keep ticking in
// loops the host does not run (a window being dragged, a system dialog).
void ArmScheduler(HostState& state);
// Keyboard handling of a form before the message is dispatched: Tab in the model's tab order,
// Esc swallowed, the rest through IsDialogMessage. True when the message was consumed.
bool PreTranslate(HostState& state, MSG& message);
// One pass: queued messages, due timers, the script.
void Pass(HostState& state);
// Waits for a message or the next due time, then makes one pass.
void WaitAndPass(HostState& state);

}  // namespace vu::toolkit::win32
