// The window manager's calls that carry text or make windows, in the Windows family's own form:
// the wide functions on NT, the ANSI ones on Windows 9x (text converted to the ANSI code page at
// the call). A window made here is a Unicode window on NT and an ANSI window on 9x, so its
// procedures, messages and subclassing all go through these calls too.
// Include <windows.h> before this header.
#pragma once

#include <windows.h>

#include <string_view>

namespace vu::toolkit::win32 {

LRESULT DefProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL Peek(MSG& message, UINT first, UINT last);
void Dispatch(const MSG& message);
BOOL DialogMessage(HWND dialog, MSG& message);

// |className| is plain ASCII (the host's own classes and the system's).
ATOM RegisterClassOf(HINSTANCE instance, const char* className, WNDPROC proc, HCURSOR cursor,
                     HICON icon);
HWND MakeWindow(DWORD exStyle, const char* className, std::string_view text, DWORD style, int x,
                int y, int width, int height, HWND parent, int id, HINSTANCE instance, void* param);
// The window that only receives the host's timer messages: message-only where the system has
// them (Windows 2000 on), a hidden top-level window on Windows 9x.
HWND MakeMessageWindow(const char* className, HINSTANCE instance, void* param);
void SetText(HWND window, std::string_view utf8);
int DrawTextOf(HDC dc, std::string_view utf8, RECT& rect, UINT format);
void OpenHelp(HWND window, std::string_view helpFile, UINT command, ULONG_PTR data);

// SetWindowLongPtr in the window's own form (its owner, GWLP_HWNDPARENT).
LONG_PTR SetWindowLongOf(HWND window, int index, LONG_PTR value);

// The per-window pointer every host window keeps its state in.
void* UserData(HWND window);
void SetUserData(HWND window, void* data);

// Subclassing without comctl32's helpers (Windows 98's comctl32 has them by number only):
// |proc| sees every message first and passes it on with CallOriginal; |data| is for |proc|.
void Subclass(HWND window, WNDPROC proc, void* data);
void* SubclassData(HWND window);
LRESULT CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Puts the original procedure back (on WM_NCDESTROY).
void RemoveSubclass(HWND window);

}  // namespace vu::toolkit::win32
