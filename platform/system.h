// System facts and effects: folders, version, processor, memory, user, volume, metrics, screen
// resolution, starting programs, restarting, sleeping, beeping, the program's own place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/status.h"

namespace vu::platform {

struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t platformId = 0;
};

// The memory status, 64-bit wide where the platform has the figures (GlobalMemoryStatusEx).
struct MemoryStatus {
  std::uint32_t memoryLoad = 0;
  std::uint64_t totalPhys = 0;
  std::uint64_t availPhys = 0;
  std::uint64_t totalPageFile = 0;
  std::uint64_t availPageFile = 0;
  std::uint64_t totalVirtual = 0;
  std::uint64_t availVirtual = 0;
};

class System {
 public:
  System() = default;
  System(const System&) = delete;
  System& operator=(const System&) = delete;
  virtual ~System() = default;

  // GetWindowsDirectory / GetSystemDirectory: no trailing backslash except at a drive root;
  // empty on failure.
  virtual std::string WindowsDirectory() = 0;
  virtual std::string SystemDirectory() = 0;
  // GetSystemWow64Directory: the 32-bit system folder seen by 32-bit programs on 64-bit Windows;
  // empty where there is none (32-bit Windows, the sandbox).
  virtual std::string SystemWow64Directory() = 0;
  // GetTempPath: the folder for temporary files (where the TEMP variable points), without a
  // trailing backslash except at a drive root; empty on failure.
  virtual std::string TempDirectory() = 0;

  virtual bool Version(OsVersion& version) = 0;
  // dwProcessorType of GetSystemInfo (386, 486, 586, ...).
  virtual std::uint32_t ProcessorType() = 0;
  virtual bool Memory(MemoryStatus& status) = 0;
  // GetUserName: false when no name can be had.
  virtual bool UserName(std::string& name) = 0;
  // GetVolumeInformation's serial number of the volume whose root is |root| ("C:\").
  virtual bool VolumeSerial(std::string_view root, std::uint32_t& serial) = 0;
  // GetSystemMetrics (SM_CXSCREEN, SM_CYSCREEN, SM_CLEANBOOT).
  virtual int Metric(int index) = 0;
  // GetDeviceCaps(desktop DC, LOGPIXELSX); 0 when it cannot be read.
  virtual int LogPixelsX() = 0;

  // Starts |commandLine| as a separate process without waiting for it; |show| is an SW_ value.
  virtual Status StartProgram(std::string_view commandLine, int show) = 0;
  // ExitWindowsEx(flags, reserved); the result as the platform reports it.
  virtual bool Restart(std::uint32_t flags, std::uint32_t reserved) = 0;
  virtual void Beep() = 0;

  // Local time now.
  virtual LocalTime Now() = 0;

  // The folder holding the running program (App.Path: no trailing backslash but at a drive root).
  virtual std::string ProgramFolder() = 0;
  // The program's command-line argument text: everything after the program's own name and the
  // blank that follows it, exactly as the system passed it.
  virtual std::string CommandLine() = 0;
};

}  // namespace vu::platform
