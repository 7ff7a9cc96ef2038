#include "platform/sandbox/system.h"

#include <chrono>
#include <ctime>

#include "platform/sandbox/layout.h"
#include "platform/sandbox/paths.h"

namespace vu::platform::sandbox {
namespace {

// A fact's number, or |fallback| when the fact is missing or no number.
template <typename T>
T NumberOr(const FactSheet& facts, std::string_view name, T fallback) {
  const std::optional<std::uint64_t> number = facts.Number(name);
  return number ? static_cast<T>(*number) : fallback;
}

}  // namespace

SandboxSystem::SandboxSystem(const std::string& machineDir)
    : iniPath_(machineDir + "/" + std::string(kMachineIni)),
      ini_(iniPath_),
      machineDir_(machineDir),
      journal_(machineDir + "/" + std::string(kJournal)) {}

const FactSheet& SandboxSystem::Facts() {
  const FileStamp now = ini_.Stamp();
  if (!factsStamp_ || !(*factsStamp_ == now)) {
    facts_ = FactSheet::Read(iniPath_);
    factsStamp_ = now;
  }
  return facts_;
}

std::string SandboxSystem::Folder(std::string_view fact) {
  const std::optional<std::string> text = Facts().Text(fact);
  WinPath path;
  if (!text || ParseWinPath(*text, path) != ERROR_SUCCESS) return std::string();
  return path.ToString();
}

std::string SandboxSystem::WindowsDirectory() {
  return Folder("WindowsDir");
}

std::string SandboxSystem::TempDirectory() {
  const std::string windows = WindowsDirectory();
  return windows.empty() ? windows : windows + (windows.back() == '\\' ? "TEMP" : "\\TEMP");
}

std::string SandboxSystem::SystemDirectory() {
  return Folder("SystemDir");
}

std::string SandboxSystem::SystemWow64Directory() {
  return Folder("SystemWow64Dir");
}

bool SandboxSystem::Version(OsVersion& version) {
  const FactSheet& facts = Facts();
  const auto major = facts.Number("MajorVersion");
  const auto minor = facts.Number("MinorVersion");
  const auto build = facts.Number("BuildNumber");
  const auto platform = facts.Number("PlatformId");
  if (!major || !minor || !build || !platform) return false;
  version.major = static_cast<std::uint32_t>(*major);
  version.minor = static_cast<std::uint32_t>(*minor);
  version.build = static_cast<std::uint32_t>(*build);
  version.platformId = static_cast<std::uint32_t>(*platform);
  return true;
}

std::uint32_t SandboxSystem::ProcessorType() {
  return NumberOr<std::uint32_t>(Facts(), "ProcessorType", 0);
}

bool SandboxSystem::Memory(MemoryStatus& status) {
  const FactSheet& facts = Facts();
  if (!facts.Number("TotalPhys")) return false;
  status.memoryLoad = NumberOr<std::uint32_t>(facts, "MemoryLoad", 0);
  status.totalPhys = NumberOr<std::uint64_t>(facts, "TotalPhys", 0);
  status.availPhys = NumberOr<std::uint64_t>(facts, "AvailPhys", 0);
  status.totalPageFile = NumberOr<std::uint64_t>(facts, "TotalPageFile", 0);
  status.availPageFile = NumberOr<std::uint64_t>(facts, "AvailPageFile", 0);
  status.totalVirtual = NumberOr<std::uint64_t>(facts, "TotalVirtual", 0);
  status.availVirtual = NumberOr<std::uint64_t>(facts, "AvailVirtual", 0);
  return true;
}

bool SandboxSystem::UserName(std::string& name) {
  std::optional<std::string> text = Facts().Text("UserName");
  if (!text || text->empty()) return false;
  name = std::move(*text);
  return true;
}

bool SandboxSystem::VolumeSerial(std::string_view root, std::uint32_t& serial) {
  WinPath path;
  if (ParseWinPath(root, path) != ERROR_SUCCESS || !path.IsRoot()) return false;
  if (!PathResolver(machineDir_).DriveExists(path.drive)) return false;
  const auto number = Facts().Number(std::string("VolumeSerial.") + path.drive);
  if (!number) return false;
  serial = static_cast<std::uint32_t>(*number);
  return true;
}

int SandboxSystem::Metric(int index) {
  switch (index) {
    case SM_CXSCREEN:
      return NumberOr<int>(Facts(), "ScreenWidth", 0);
    case SM_CYSCREEN:
      return NumberOr<int>(Facts(), "ScreenHeight", 0);
    case SM_CLEANBOOT:
      return NumberOr<int>(Facts(), "CleanBoot", 0);
    default:
      return 0;
  }
}

int SandboxSystem::LogPixelsX() {
  return NumberOr<int>(Facts(), "LogPixelsX", 0);
}

Status SandboxSystem::StartProgram(std::string_view commandLine, int show) {
  return journal_.Append("start " + std::to_string(show) + " " + std::string(commandLine));
}

bool SandboxSystem::Restart(std::uint32_t flags, std::uint32_t reserved) {
  return journal_.Append("restart " + std::to_string(flags) + " " + std::to_string(reserved)) ==
         ERROR_SUCCESS;
}

void SandboxSystem::Beep() {
  journal_.Append("beep");
}

LocalTime SandboxSystem::Now() {
  if (clock_ != nullptr) return clock_->Now();
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  LocalTime time;
  time.year = local.tm_year + 1900;
  time.month = local.tm_mon + 1;
  time.day = local.tm_mday;
  time.hour = local.tm_hour;
  time.minute = local.tm_min;
  time.second = local.tm_sec;
  time.millisecond = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  return time;
}

}  // namespace vu::platform::sandbox
