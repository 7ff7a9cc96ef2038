#include <windows.h>

#include "toolkit/win32/user_calls.h"

#include <string>

#include "platform/win32/family.h"
#include "platform/win32/wide.h"

namespace vu::toolkit::win32 {

using platform::win32::Ansi;
using platform::win32::Wide;
using platform::win32::WideCalls;

namespace {

// Window properties: they need nothing from the class and exist on every Windows.
constexpr char kOriginalProc[] = "VelloriaOriginalProc";
constexpr char kSubclassData[] = "VelloriaSubclassData";

}  // namespace

LRESULT DefProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return WideCalls() ? ::DefWindowProcW(window, message, wParam, lParam)
                     : ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return WideCalls() ? ::SendMessageW(window, message, wParam, lParam)
                     : ::SendMessageA(window, message, wParam, lParam);
}

BOOL Peek(MSG& message, UINT first, UINT last) {
  return WideCalls() ? ::PeekMessageW(&message, nullptr, first, last, PM_REMOVE)
                     : ::PeekMessageA(&message, nullptr, first, last, PM_REMOVE);
}

void Dispatch(const MSG& message) {
  if (WideCalls()) {
    ::DispatchMessageW(&message);
  } else {
    ::DispatchMessageA(&message);
  }
}

BOOL DialogMessage(HWND dialog, MSG& message) {
  return WideCalls() ? ::IsDialogMessageW(dialog, &message) : ::IsDialogMessageA(dialog, &message);
}

ATOM RegisterClassOf(HINSTANCE instance, const char* className, WNDPROC proc, HCURSOR cursor,
                     HICON icon) {
  if (!WideCalls()) {
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    info.lpfnWndProc = proc;
    info.hInstance = instance;
    info.hCursor = cursor;
    info.hIcon = icon;
    info.lpszClassName = className;
    return ::RegisterClassExA(&info);
  }
  const std::wstring name = Wide(className);
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  info.lpfnWndProc = proc;
  info.hInstance = instance;
  info.hCursor = cursor;
  info.hIcon = icon;
  info.lpszClassName = name.c_str();
  return ::RegisterClassExW(&info);
}

HWND MakeWindow(DWORD exStyle, const char* className, std::string_view text, DWORD style, int x,
                int y, int width, int height, HWND parent, int id, HINSTANCE instance,
                void* param) {
  HMENU menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
  if (!WideCalls()) {
    return ::CreateWindowExA(exStyle, className, Ansi(text).c_str(), style, x, y, width, height,
                             parent, menu, instance, param);
  }
  return ::CreateWindowExW(exStyle, Wide(className).c_str(), Wide(text).c_str(), style, x, y, width,
                           height, parent, menu, instance, param);
}

HWND MakeMessageWindow(const char* className, HINSTANCE instance, void* param) {
  HWND parent = WideCalls() ? HWND_MESSAGE : nullptr;
  return MakeWindow(0, className, "", 0, 0, 0, 0, 0, parent, 0, instance, param);
}

void SetText(HWND window, std::string_view utf8) {
  if (WideCalls()) {
    ::SetWindowTextW(window, Wide(utf8).c_str());
  } else {
    ::SetWindowTextA(window, Ansi(utf8).c_str());
  }
}

int DrawTextOf(HDC dc, std::string_view utf8, RECT& rect, UINT format) {
  if (WideCalls()) {
    std::wstring text = Wide(utf8);
    return ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect, format);
  }
  std::string text = Ansi(utf8);
  return ::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &rect, format);
}

void OpenHelp(HWND window, std::string_view helpFile, UINT command, ULONG_PTR data) {
  if (WideCalls()) {
    ::WinHelpW(window, platform::win32::WidePath(helpFile).c_str(), command, data);
  } else {
    ::WinHelpA(window, platform::win32::AnsiPath(helpFile).c_str(), command, data);
  }
}

LONG_PTR SetWindowLongOf(HWND window, int index, LONG_PTR value) {
  return WideCalls() ? ::SetWindowLongPtrW(window, index, value)
                     : ::SetWindowLongPtrA(window, index, value);
}

void* UserData(HWND window) {
  return reinterpret_cast<void*>(WideCalls() ? ::GetWindowLongPtrW(window, GWLP_USERDATA)
                                             : ::GetWindowLongPtrA(window, GWLP_USERDATA));
}

void SetUserData(HWND window, void* data) {
  const auto value = reinterpret_cast<LONG_PTR>(data);
  if (WideCalls()) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, value);
  } else {
    ::SetWindowLongPtrA(window, GWLP_USERDATA, value);
  }
}

void Subclass(HWND window, WNDPROC proc, void* data) {
  ::SetPropA(window, kSubclassData, data);
  const auto value = reinterpret_cast<LONG_PTR>(proc);
  const LONG_PTR original = WideCalls() ? ::SetWindowLongPtrW(window, GWLP_WNDPROC, value)
                                        : ::SetWindowLongPtrA(window, GWLP_WNDPROC, value);
  ::SetPropA(window, kOriginalProc, reinterpret_cast<HANDLE>(original));
}

void* SubclassData(HWND window) {
  return ::GetPropA(window, kSubclassData);
}

LRESULT CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto original = reinterpret_cast<WNDPROC>(::GetPropA(window, kOriginalProc));
  if (original == nullptr) return DefProc(window, message, wParam, lParam);
  return WideCalls() ? ::CallWindowProcW(original, window, message, wParam, lParam)
                     : ::CallWindowProcA(original, window, message, wParam, lParam);
}

void RemoveSubclass(HWND window) {
  const auto original = reinterpret_cast<LONG_PTR>(::GetPropA(window, kOriginalProc));
  if (original != 0) {
    if (WideCalls()) {
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, original);
    } else {
      ::SetWindowLongPtrA(window, GWLP_WNDPROC, original);
    }
  }
  ::RemovePropA(window, kOriginalProc);
  ::RemovePropA(window, kSubclassData);
}

}  // namespace vu::toolkit::win32
