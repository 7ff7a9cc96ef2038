#include <windows.h>

#include "platform/win32/system.h"

#include <algorithm>
#include <vector>

#include "platform/win32/command_line.h"
#include "platform/win32/family.h"
#include "platform/win32/handles.h"
#include "platform/win32/paths.h"
#include "platform/win32/wide.h"

namespace vu::platform::win32 {
namespace {

// Calls a "fill this buffer, return the length" function, growing the buffer when it asks for
// more; empty on failure.
template <typename Char, typename Call>
std::string ReadBufferOf(Call call) {
  std::vector<Char> buffer(MAX_PATH + 1);
  for (;;) {
    const UINT length = call(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      if constexpr (sizeof(Char) == 1) return FromAnsi(std::string_view(buffer.data(), length));
      if constexpr (sizeof(Char) != 1) return Narrow(std::wstring_view(buffer.data(), length));
    }
    buffer.resize(std::max<std::size_t>(length + 1, buffer.size() * 2));
  }
}

// The wide call on NT, the ANSI one on Windows 9x.
template <typename WideCall, typename AnsiCall>
std::string ReadBuffer(WideCall wide, AnsiCall ansi) {
  return WideCalls() ? ReadBufferOf<wchar_t>(wide) : ReadBufferOf<char>(ansi);
}

// NT-family Windows refuses ExitWindowsEx to a process without the shutdown privilege; Windows
// 9x has no tokens.
void EnableShutdownPrivilege() {
  if (!WideCalls()) return;
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
    return ReadBuffer([](wchar_t* b, UINT n) { return ::GetWindowsDirectoryW(b, n); },
                      [](char* b, UINT n) { return ::GetWindowsDirectoryA(b, n); });
  }
  std::string SystemDirectory() override {
    return ReadBuffer([](wchar_t* b, UINT n) { return ::GetSystemDirectoryW(b, n); },
                      [](char* b, UINT n) { return ::GetSystemDirectoryA(b, n); });
  }
  std::string TempDirectory() override {
    std::string folder =
        ReadBuffer([](wchar_t* b, UINT n) { return static_cast<UINT>(::GetTempPathW(n, b)); },
                   [](char* b, UINT n) { return static_cast<UINT>(::GetTempPathA(n, b)); });
    // GetTempPath ends the folder with a backslash, unlike the other folder calls.
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
  }
  std::string SystemWow64Directory() override {
    // From Windows XP on; older systems have no such folder.
    using Wow64DirectoryFn = UINT(WINAPI*)(LPWSTR, UINT);
    static const auto wow64Directory =
        FindFunction<Wow64DirectoryFn>("kernel32.dll", "GetSystemWow64DirectoryW");
    if (!WideCalls() || wow64Directory == nullptr) return {};
    return ReadBufferOf<wchar_t>([](wchar_t* b, UINT n) { return wow64Directory(b, n); });
  }

  bool Version(OsVersion& version) override {
    // GetVersionEx reports the version the program's manifest claims; RtlGetVersion the real one.
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    bool ok = false;
    if (WideCalls()) {
      const auto rtlGetVersion = FindFunction<RtlGetVersionFn>("ntdll.dll", "RtlGetVersion");
      ok = rtlGetVersion != nullptr && rtlGetVersion(&info) == 0;
    }
    if (!ok) {
      OSVERSIONINFOA ansi{};
      ansi.dwOSVersionInfoSize = sizeof ansi;
      if (!::GetVersionExA(&ansi)) return false;
      info.dwMajorVersion = ansi.dwMajorVersion;
      info.dwMinorVersion = ansi.dwMinorVersion;
      // As reported: Windows 9x keeps the version in the build number's high word.
      info.dwBuildNumber = ansi.dwBuildNumber;
      info.dwPlatformId = ansi.dwPlatformId;
    }
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
    // GlobalMemoryStatusEx from Windows 2000 on; before, the 32-bit figures are all there is.
    using MemoryStatusExFn = BOOL(WINAPI*)(MEMORYSTATUSEX*);
    static const auto memoryStatusEx =
        FindFunction<MemoryStatusExFn>("kernel32.dll", "GlobalMemoryStatusEx");
    MEMORYSTATUSEX info{};
    info.dwLength = sizeof info;
    if (memoryStatusEx == nullptr || !memoryStatusEx(&info)) {
      MEMORYSTATUS old{};
      old.dwLength = sizeof old;
      ::GlobalMemoryStatus(&old);
      info.dwMemoryLoad = old.dwMemoryLoad;
      info.ullTotalPhys = old.dwTotalPhys;
      info.ullAvailPhys = old.dwAvailPhys;
      info.ullTotalPageFile = old.dwTotalPageFile;
      info.ullAvailPageFile = old.dwAvailPageFile;
      info.ullTotalVirtual = old.dwTotalVirtual;
      info.ullAvailVirtual = old.dwAvailVirtual;
    }
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
    DWORD length = 257;  // UNLEN + 1
    if (!WideCalls()) {
      char buffer[257] = {};
      if (!::GetUserNameA(buffer, &length) || buffer[0] == '\0') return false;
      name = FromAnsiZ(buffer);
      return true;
    }
    wchar_t buffer[257] = {};
    if (!::GetUserNameW(buffer, &length) || buffer[0] == L'\0') return false;
    name = NarrowZ(buffer);
    return true;
  }

  bool VolumeSerial(std::string_view root, std::uint32_t& serial) override {
    DWORD number = 0;
    const BOOL read = WideCalls() ? ::GetVolumeInformationW(Wide(root).c_str(), nullptr, 0, &number,
                                                            nullptr, nullptr, nullptr, 0)
                                  : ::GetVolumeInformationA(AnsiPath(root).c_str(), nullptr, 0,
                                                            &number, nullptr, nullptr, nullptr, 0);
    if (!read) return false;
    serial = number;
    return true;
  }

  int Metric(int index) override { return ::GetSystemMetrics(index); }

  int LogPixelsX() override {
    const DesktopDC dc;
    return dc.get() == nullptr ? 0 : ::GetDeviceCaps(dc.get(), LOGPIXELSX);
  }

  Status StartProgram(std::string_view commandLine, int show) override {
    PROCESS_INFORMATION process{};
    BOOL started = FALSE;
    if (WideCalls()) {
      std::wstring line = Wide(commandLine);  // CreateProcessW may write into it
      STARTUPINFOW startup{};
      startup.cb = sizeof startup;
      startup.dwFlags = STARTF_USESHOWWINDOW;
      startup.wShowWindow = static_cast<WORD>(show);
      started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process);
    } else {
      std::string line = Ansi(commandLine);
      STARTUPINFOA startup{};
      startup.cb = sizeof startup;
      startup.dwFlags = STARTF_USESHOWWINDOW;
      startup.wShowWindow = static_cast<WORD>(show);
      started = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process);
    }
    if (!started) return LastError();
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
    const std::string program = ReadBuffer(
        [](wchar_t* b, UINT n) -> UINT {
          const DWORD length = ::GetModuleFileNameW(nullptr, b, n);
          return length >= n ? n : length;  // cut short: ask again with more room
        },
        [](char* b, UINT n) -> UINT {
          const DWORD length = ::GetModuleFileNameA(nullptr, b, n);
          return length >= n ? n : length;
        });
    return FolderOf(program);
  }

  std::string CommandLine() override {
    return ArgumentsAfterProgramName(WideCalls() ? NarrowZ(::GetCommandLineW())
                                                 : FromAnsiZ(::GetCommandLineA()));
  }
};

}  // namespace

std::unique_ptr<System> MakeSystem() {
  return std::make_unique<Win32System>();
}

}  // namespace vu::platform::win32
