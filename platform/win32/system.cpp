#include <windows.h>

#include "platform/win32/system.h"

#include <algorithm>
#include <vector>

#include "platform/win32/command_line.h"
#include "platform/win32/handles.h"
#include "platform/win32/paths.h"
#include "platform/win32/wide.h"

namespace vu::platform::win32 {
namespace {

// Calls a "fill this buffer, return the length" function, growing the buffer when it asks for
// more; empty on failure.
template <typename Call>
std::string ReadBuffer(Call call) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const UINT length = call(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return Narrow(std::wstring_view(buffer.data(), length));
    buffer.resize(std::max<std::size_t>(length + 1, buffer.size() * 2));
  }
}

// NT-family Windows refuses ExitWindowsEx to a process without the shutdown privilege; on
// Windows 9x there are no tokens and the calls just fail, which is fine.
void EnableShutdownPrivilege() {
  KernelHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          token.Receive())) {
    return;
  }
  TOKEN_PRIVILEGES privileges{};
  if (!::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) return;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
}

using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);

class Win32System final : public System {
 public:
  std::string WindowsDirectory() override {
    return ReadBuffer([](wchar_t* b, UINT n) { return ::GetWindowsDirectoryW(b, n); });
  }
  std::string SystemDirectory() override {
    return ReadBuffer([](wchar_t* b, UINT n) { return ::GetSystemDirectoryW(b, n); });
  }
  std::string SystemWow64Directory() override {
    return ReadBuffer([](wchar_t* b, UINT n) { return ::GetSystemWow64DirectoryW(b, n); });
  }

  bool Version(OsVersion& version) override {
    // GetVersionEx reports the version the program's manifest claims; RtlGetVersion the real one.
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    bool ok = false;
    if (const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
      // Through void(*)() so that the compiler accepts the change of signature.
      const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
          reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "RtlGetVersion")));
      ok = rtlGetVersion != nullptr && rtlGetVersion(&info) == 0;
    }
    if (!ok) ok = ::GetVersionExW(&info) != FALSE;
    if (!ok) return false;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    version.build = info.dwBuildNumber;
    version.platformId = info.dwPlatformId;
    return true;
  }

  std::uint32_t ProcessorType() override {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwProcessorType;
  }

  bool Memory(MemoryStatus& status) override {
    MEMORYSTATUSEX info{};
    info.dwLength = sizeof info;
    if (!::GlobalMemoryStatusEx(&info)) return false;
    status.memoryLoad = info.dwMemoryLoad;
    status.totalPhys = info.ullTotalPhys;
    status.availPhys = info.ullAvailPhys;
    status.totalPageFile = info.ullTotalPageFile;
    status.availPageFile = info.ullAvailPageFile;
    status.totalVirtual = info.ullTotalVirtual;
    status.availVirtual = info.ullAvailVirtual;
    return true;
  }

  bool UserName(std::string& name) override {
    wchar_t buffer[257] = {};  // UNLEN + 1
    DWORD length = 257;
    if (!::GetUserNameW(buffer, &length) || buffer[0] == L'\0') return false;
    name = NarrowZ(buffer);
    return true;
  }

  bool VolumeSerial(std::string_view root, std::uint32_t& serial) override {
    DWORD number = 0;
    if (!::GetVolumeInformationW(Wide(root).c_str(), nullptr, 0, &number, nullptr, nullptr, nullptr,
                                 0)) {
      return false;
    }
    serial = number;
    return true;
  }

  int Metric(int index) override { return ::GetSystemMetrics(index); }

  int LogPixelsX() override {
    const DesktopDC dc;
    return dc.get() == nullptr ? 0 : ::GetDeviceCaps(dc.get(), LOGPIXELSX);
  }

  Status StartProgram(std::string_view commandLine, int show) override {
    std::wstring line = Wide(commandLine);  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
      return LastError();
    }
    // Not waited for: only the handles are given back.
    const KernelHandle processHandle(process.hProcess);
    const KernelHandle threadHandle(process.hThread);
    return ERROR_SUCCESS;
  }

  bool Restart(std::uint32_t flags, std::uint32_t reserved) override {
    EnableShutdownPrivilege();
    return ::ExitWindowsEx(flags, reserved) != FALSE;
  }

  void Beep() override { ::MessageBeep(MB_OK); }

  LocalTime Now() override {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return LocalTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                     now.wMinute, now.wSecond, now.wMilliseconds};
  }

  std::string ProgramFolder() override {
    const std::string program = ReadBuffer([](wchar_t* b, UINT n) -> UINT {
      const DWORD length = ::GetModuleFileNameW(nullptr, b, n);
      return length >= n ? n : length;  // cut short: ask again with more room
    });
    return FolderOf(program);
  }

  std::string CommandLine() override {
    return ArgumentsAfterProgramName(NarrowZ(::GetCommandLineW()));
  }
};

}  // namespace

std::unique_ptr<System> MakeSystem() {
  return std::make_unique<Win32System>();
}

}  // namespace vu::platform::win32
