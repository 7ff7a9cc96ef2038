// The host's window procedures: the forms, the frames and picture boxes, the scheduler's timer
// window, and the subclass of the system's controls that reports focus changes to the model.
// Include <windows.h> before this header.
#pragma once

#include <windows.h>

namespace vu::toolkit::win32 {

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SchedulerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vu::toolkit::win32
