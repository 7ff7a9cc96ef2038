#include <windows.h>

#include "platform/win32/wide.h"

#include "platform/text.h"
#include "platform/win32/paths.h"

namespace vu::platform::win32 {

std::wstring Wide(std::string_view utf8) {
  const std::u16string u16 = Utf8ToUtf16(utf8);
  return std::wstring(u16.begin(), u16.end());
}

std::string Narrow(std::wstring_view utf16) {
  return Utf16ToUtf8(std::u16string(utf16.begin(), utf16.end()));
}

std::string NarrowZ(const wchar_t* text) {
  return text == nullptr ? std::string() : Narrow(std::wstring_view(text));
}

std::wstring WidePath(std::string_view utf8Path) {
  return Wide(PrepareFilePath(utf8Path));
}

Status StatusFromHresult(HRESULT hr) {
  if (SUCCEEDED(hr)) return ERROR_SUCCESS;
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return HRESULT_CODE(hr);
  if (hr == E_OUTOFMEMORY) return ERROR_NOT_ENOUGH_MEMORY;
  if (hr == E_INVALIDARG) return ERROR_INVALID_PARAMETER;
  return ERROR_INVALID_DATA;
}

Status LastError() {
  const DWORD error = ::GetLastError();
  return error == ERROR_SUCCESS ? ERROR_INVALID_FUNCTION : error;
}

}  // namespace vu::platform::win32
