#include <windows.h>

#include "platform/win32/family.h"

#include "platform/text.h"

namespace vu::platform::win32 {
namespace {

bool ReadWideCalls() {
  // GetVersion's top bit is set on Windows 95/98/Me (VER_PLATFORM_WIN32_WINDOWS) and on Win32s.
  return (::GetVersion() & 0x80000000u) == 0;
}

// Windows 9x has no 64-bit sibling (and Wine playing Windows 98 should not pretend to one).
bool ReadUnderWow64() {
  if (!WideCalls()) return false;
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, BOOL*);
  const auto isWow64 = FindFunction<IsWow64ProcessFn>("kernel32.dll", "IsWow64Process");
  BOOL wow64 = FALSE;
  return isWow64 != nullptr && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

std::string Convert(UINT codePage, std::wstring_view units) {
  if (units.empty()) return {};
  const int size = ::WideCharToMultiByte(codePage, 0, units.data(), static_cast<int>(units.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 0, '\0');
  if (size > 0) {
    ::WideCharToMultiByte(codePage, 0, units.data(), static_cast<int>(units.size()), out.data(),
                          size, nullptr, nullptr);
  }
  return out;
}

}  // namespace

bool WideCalls() {
  static const bool wide = ReadWideCalls();
  return wide;
}

bool UnderWow64() {
  static const bool wow64 = ReadUnderWow64();
  return wow64;
}

std::string Ansi(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  return Convert(CP_ACP,
                 std::wstring_view(reinterpret_cast<const wchar_t*>(units.data()), units.size()));
}

std::string FromAnsi(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int size =
      ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::u16string units(size > 0 ? size : 0, u'\0');
  if (size > 0) {
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                          reinterpret_cast<wchar_t*>(units.data()), size);
  }
  return Utf16ToUtf8(units);
}

std::string FromAnsiZ(const char* ansi) {
  return ansi == nullptr ? std::string() : FromAnsi(std::string_view(ansi));
}

std::string AnsiPath(std::string_view utf8Path) {
  std::string path(utf8Path);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return Ansi(path);
}

void* FindProcedure(const char* dll, const char* name) {
  HMODULE module = ::GetModuleHandleA(dll);
  if (module == nullptr) module = ::LoadLibraryA(dll);
  return module == nullptr ? nullptr : reinterpret_cast<void*>(::GetProcAddress(module, name));
}

}  // namespace vu::platform::win32

namespace vu::platform::win32 {
namespace {

using DisableFn = BOOL(WINAPI*)(PVOID*);
using RevertFn = BOOL(WINAPI*)(PVOID);

struct RedirectionCalls {
  DisableFn disable = FindFunction<DisableFn>("kernel32.dll", "Wow64DisableWow64FsRedirection");
  RevertFn revert = FindFunction<RevertFn>("kernel32.dll", "Wow64RevertWow64FsRedirection");
};

// Looked up before redirection is ever turned off.
const RedirectionCalls& Redirection() {
  static const RedirectionCalls calls;
  return calls;
}

}  // namespace

RealSystemFolder::RealSystemFolder() {
  if (!UnderWow64()) return;
  const RedirectionCalls& calls = Redirection();
  disabled_ = calls.disable != nullptr && calls.revert != nullptr && calls.disable(&previous_);
}

RealSystemFolder::~RealSystemFolder() {
  if (disabled_) Redirection().revert(previous_);
}

}  // namespace vu::platform::win32
