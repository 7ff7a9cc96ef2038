// UTF-8 <-> UTF-16 at the wide-character calls, and the status of a failed COM call.
// Include <windows.h> (through a .cpp of this folder) before this header.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/status.h"

namespace vu::platform::win32 {

std::wstring Wide(std::string_view utf8);
// |utf16| as UTF-8, every character kept (embedded NULs included).
std::string Narrow(std::wstring_view utf16);
// A NUL-terminated buffer's text up to its first NUL.
std::string NarrowZ(const wchar_t* text);
// A file path for the wide-character calls (see PrepareFilePath), as UTF-16.
std::wstring WidePath(std::string_view utf8Path);

// The Win32 error code inside a failed HRESULT; ERROR_INVALID_DATA for one that carries none.
Status StatusFromHresult(HRESULT hr);
// GetLastError, never ERROR_SUCCESS (for calls that failed without saying why).
Status LastError();

}  // namespace vu::platform::win32
