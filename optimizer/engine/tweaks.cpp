#include "optimizer/engine/tweaks.h"

#include <algorithm>
#include <string_view>

#include "common/paths.h"
#include "common/registry_data.h"
#include "common/registry_mod.h"
#include "optimizer/engine/comp_info.h"

namespace vu::optimizer {

namespace {

using vu::platform::Status;

constexpr std::string_view kNetTrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\000";
constexpr std::string_view kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
constexpr std::string_view kCdfs = "System\\CurrentControlSet\\Control\\FileSystem\\CDFS";
constexpr std::string_view kDesktop = "\\Control Panel\\desktop";
// NT refuses a key path with a leading backslash, and names the key with a capital D.
constexpr std::string_view kDesktopNt = "Control Panel\\Desktop";
constexpr std::string_view kMsdosSys = "Msdos.sys";
constexpr std::string_view kBootDriveRoot = "C:\\";

bool Set(Engine& engine, vu::platform::RootKey root, std::string_view subkey, std::string_view name,
         std::uint32_t type, const common::RegistryData& data) {
  return common::SetRegistryValueChecked(engine.machine.registry(), root, subkey, name, type,
                                         data) == ERROR_SUCCESS;
}

// Four raw bytes as the characters a REG_BINARY write stores byte for byte.
common::RegistryData Bytes(std::string_view bytes) {
  return common::TextOfBytes(bytes);
}

// The Msdos.sys Windows 9x reads: the Windows drive's, else the boot drive's, else a new one on
// the Windows drive.
std::string MsdosSysPath(vu::platform::FileSystem& files, const std::string& windowsRoot) {
  const std::string onWindowsDrive = windowsRoot + std::string(kMsdosSys);
  if (common::PathExists(files, onWindowsDrive)) return onWindowsDrive;
  const std::string onBootDrive = std::string(kBootDriveRoot) + std::string(kMsdosSys);
  if (common::PathExists(files, onBootDrive)) return onBootDrive;
  return onWindowsDrive;
}

}  // namespace

bool StepNeeded(vu::platform::System& system, Step step) {
  switch (step) {
    case Step::VirtualCache:
    case Step::DosBoot:
    case Step::Internet:
    case Step::FileSystem:
      return !IsNtFamily(system);
    default:
      return true;
  }
}

std::uint64_t MaxFileCacheFor(std::uint64_t totalPhysBytes) {
  return std::min(totalPhysBytes / 4 / 1024, kMaxFileCacheLimit);
}

bool TuneVirtualCache(Engine& engine) {
  if (!StepNeeded(engine.machine.system(), Step::VirtualCache)) return true;
  CollectSystemInfo(engine);
  const SystemInfo& info = engine.state.info;
  // Without the Windows folder the file would be "\system.ini" of whatever drive is current.
  if (info.windowsDir.empty()) return false;
  vu::platform::FileSystem& files = engine.machine.files();
  const std::string file = info.windowsDir + "\\system.ini";
  bool done = files.WriteProfileString(file, "vcache", "MinFileCache", "1024") == ERROR_SUCCESS;
  // Unknown memory would give a cache of nothing: leave the maximum as it is.
  if (info.memoryStatus.totalPhys == 0) return false;
  const std::string maximum = std::to_string(MaxFileCacheFor(info.memoryStatus.totalPhys));
  done = files.WriteProfileString(file, "vcache", "MaxFileCache", maximum) == ERROR_SUCCESS && done;
  return done;
}

bool TuneBootMenuDelay(Engine& engine) {
  if (!StepNeeded(engine.machine.system(), Step::DosBoot)) return true;
  CollectSystemInfo(engine);
  const std::string root = common::DriveRoot(engine.state.info.windowsDir);
  if (root.empty()) return false;
  vu::platform::FileSystem& files = engine.machine.files();
  const std::string file = MsdosSysPath(files, root);

  // A missing file is no failure: the profile write makes it.
  const Status opened = files.SetAttributes(file, FILE_ATTRIBUTE_ARCHIVE);
  bool done = opened == ERROR_SUCCESS || opened == ERROR_FILE_NOT_FOUND;
  done = files.WriteProfileString(file, "Options", "BootMenuDelay", "1") == ERROR_SUCCESS && done;
  // Protected again even when the write failed, so the file is never left open to change.
  const Status closed = files.SetAttributes(
      file, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  return closed == ERROR_SUCCESS && done;
}

bool TuneTcpIp(Engine& engine) {
  if (!StepNeeded(engine.machine.system(), Step::Internet)) return true;
  vu::platform::Registry& registry = engine.machine.registry();
  bool done = true;
  // The bindings are numbered 0000, 0001, ...; the walk ends at the first one it cannot read.
  for (int n = 0;; ++n) {
    const std::string key = std::string(kNetTrans) + std::to_string(n);
    const std::string description =
        common::GetRegistryString(registry, HKEY_LOCAL_MACHINE, key, "DriverDesc");
    if (description == "TCP/IP")
      done = Set(engine, HKEY_LOCAL_MACHINE, key, "MaxMTU", REG_SZ, "576") && done;
    if (description == common::kRegistryNotFound) break;
  }
  done = Set(engine, HKEY_LOCAL_MACHINE, kMstcp, "DefaultMSS", REG_SZ, "536") && done;
  done = Set(engine, HKEY_LOCAL_MACHINE, kMstcp, "DefaultTTL", REG_SZ, "128") && done;
  done = Set(engine, HKEY_LOCAL_MACHINE, kMstcp, "DefaultRcvWindow", REG_DWORD, "53600") && done;
  return done;
}

bool TuneCdRomCache(Engine& engine) {
  using namespace std::string_view_literals;
  if (!StepNeeded(engine.machine.system(), Step::FileSystem)) return true;
  bool done =
      Set(engine, HKEY_LOCAL_MACHINE, kCdfs, "CacheSize", REG_BINARY, Bytes("\x6B\x02\x00\x00"sv));
  done =
      Set(engine, HKEY_LOCAL_MACHINE, kCdfs, "Prefetch", REG_BINARY, Bytes("\xE8\x00\x00\x00"sv)) &&
      done;
  done = Set(engine, HKEY_LOCAL_MACHINE, kCdfs, "PrefetchTail", REG_BINARY,
             Bytes("\x80\x00\x00\x00"sv)) &&
         done;
  return done;
}

bool TuneStartup(Engine&) {
  return true;
}

bool TuneMenuDelay(Engine& engine) {
  const std::string_view desktop = IsNtFamily(engine.machine.system()) ? kDesktopNt : kDesktop;
  return Set(engine, HKEY_CURRENT_USER, desktop, "MenuShowDelay", REG_SZ, "0");
}

}  // namespace vu::optimizer
