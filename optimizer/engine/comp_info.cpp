#include "optimizer/engine/comp_info.h"

#include <cmath>

#include "common/registry_data.h"
#include "optimizer/engine/paths.h"

namespace vu::optimizer {

namespace {

constexpr std::size_t kDirectoryBuffer = 255;

// The Windows folder as the 255-character ANSI call gives it: empty when it does not fit.
std::string GetWindowsDir(vu::platform::System& system) {
  std::string directory = system.WindowsDirectory();
  if (common::AnsiLength(directory) + 1 > kDirectoryBuffer) return std::string();
  return directory;
}

// The run time's rounding to a whole number: halves go to the even neighbour.
long long RoundHalfEven(double value) {
  return static_cast<long long>(std::nearbyint(value));
}

}  // namespace

std::string OsName(std::uint32_t platformId) {
  switch (platformId) {
    case 0:
      return "Windows 32s";
    case 1:
      return "Windows 95";
    case 2:
      return "Windows NT";
    default:
      return "Unknown Operating System";
  }
}

std::string ProcessorName(std::uint32_t processorType) {
  switch (processorType) {
    case 386:
      return "Intel 386";
    case 486:
      return "Intel 486";
    case 586:
      return "Intel Pentium";
    case 4000:
      return "MIPS R4000";
    case 21064:
      return "DEC Alpha 21064";
    default:
      return "Unknown Processor Type";
  }
}

std::string FormatKilobytes(std::uint64_t bytes) {
  // The figures are unsigned 64-bit: memory past 2 GB must not turn negative.
  const std::uint64_t kilobytes = bytes / 1024;
  std::string text;
  if (kilobytes > 0) {
    const std::string digits = std::to_string(kilobytes);
    for (std::size_t i = 0; i < digits.size(); ++i) {
      if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
      text += digits[i];
    }
  }
  return text + "K";
}

std::string GetLoggedUserName(vu::platform::System& system) {
  std::string name;
  if (!system.UserName(name) || name.empty()) return "(Unknown)";
  return name;
}

std::uint32_t GetVolumeSerial(vu::platform::System& system, std::string_view root) {
  std::uint32_t serial = 0;
  if (!system.VolumeSerial(root, serial)) return 0;
  return serial;
}

std::string GetBootMode(vu::platform::System& system) {
  switch (system.Metric(SM_CLEANBOOT)) {
    case 1:
      return "Safe Mode";
    case 2:
      return "Safe Mode with Network support";
    default:
      return "Normal startup";
  }
}

std::string GetScreenSize(const ScreenFigures& screen) {
  // The screen object's figures are in twips; the resolution is what they make in pixels.
  const double perPixelX = screen.twipsPerPixelX;
  const double perPixelY = screen.twipsPerPixelY;
  const double width = static_cast<double>(screen.widthPixels) * perPixelX;
  const double height = static_cast<double>(screen.heightPixels) * perPixelY;
  const long long x = RoundHalfEven(perPixelX);
  const long long y = RoundHalfEven(perPixelY);
  if (x <= 0 || y <= 0) return std::string();
  return std::to_string(RoundHalfEven(width) / x) + "x" + std::to_string(RoundHalfEven(height) / y);
}

void CollectSystemInfo(vu::platform::System& system, const ScreenFigures& screen,
                       SystemInfo& info) {
  info.windowsDir = GetWindowsDir(system);
  info.systemDir = GetSystemDir(system);

  vu::platform::OsVersion version;
  if (!system.Version(version)) return;
  info.osName = OsName(version.platformId);
  info.osVersion = std::to_string(version.major) + "." + std::to_string(version.minor) +
                   " (Build " + std::to_string(version.build) + ")";
  info.processorName = ProcessorName(system.ProcessorType());

  vu::platform::MemoryStatus memory;
  if (system.Memory(memory)) {
    info.memoryStatus = memory;
    info.memTotalPhys = FormatKilobytes(memory.totalPhys);
    info.memAvailPhys = FormatKilobytes(memory.availPhys);
    info.memTotalVirtual = FormatKilobytes(memory.totalVirtual);
    info.memAvailVirtual = FormatKilobytes(memory.availVirtual);
  } else {
    info.memoryStatus = {};
    info.memTotalPhys.clear();
    info.memAvailPhys.clear();
    info.memTotalVirtual.clear();
    info.memAvailVirtual.clear();
  }

  info.userName = GetLoggedUserName(system);
  info.volumeSerial = GetVolumeSerial(system, info.systemDir.substr(0, 2) + "\\");
  info.bootMode = GetBootMode(system);
  info.screenSize = GetScreenSize(screen);
}

bool IsNtFamily(vu::platform::System& system) {
  constexpr std::uint32_t kPlatformNt = 2;  // VER_PLATFORM_WIN32_NT
  vu::platform::OsVersion version;
  return system.Version(version) && version.platformId == kPlatformNt;
}

void CollectSystemInfo(Engine& engine) {
  CollectSystemInfo(engine.machine.system(), engine.progress.Screen(), engine.state.info);
}

}  // namespace vu::optimizer
