#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include "toolkit/win32/entry.h"

#include "platform/text.h"
#include "toolkit/win32/host.h"

namespace vu::toolkit::win32 {

std::vector<std::string> ProcessArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* list = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (list == nullptr) return arguments;
  for (int i = 0; i < count; ++i) {
    const std::wstring_view argument(list[i]);
    arguments.push_back(platform::Utf16ToUtf8(std::u16string(argument.begin(), argument.end())));
  }
  ::LocalFree(list);
  return arguments;
}

ProcessSetup::ProcessSetup() {
  using SetAwareFunction = BOOL(WINAPI*)();
  if (HMODULE user = ::GetModuleHandleW(L"user32.dll")) {
    // Absent before Windows Vista, where every program sees the real pixels per inch anyway.
    if (auto setAware = reinterpret_cast<SetAwareFunction>(
            reinterpret_cast<void*>(::GetProcAddress(user, "SetProcessDPIAware")))) {
      setAware();
    }
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  ole_ = SUCCEEDED(::OleInitialize(nullptr));
}

ProcessSetup::~ProcessSetup() {
  if (ole_) ::OleUninitialize();
}

int RunWin32Program(
    const std::function<int(Host& host, const std::vector<std::string>& arguments)>& main) {
  ProcessSetup setup;
  Win32Host host;
  return main(host, ProcessArguments());
}

}  // namespace vu::toolkit::win32
