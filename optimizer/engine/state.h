// The Optimizer's program-wide values: the selection flags, the progress state shared by the run
// driver and the scanning page's timers, the shortcut table, the system facts, and what each
// step of a run achieved. One instance lives in the program's state object; nothing is global.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/vb.h"
#include "platform/system.h"

namespace vu::optimizer {

// The ten kinds of optimization, in the order the run performs them.
enum class Step {
  BrokenLinks,
  RegistryMistakes,
  VirtualCache,
  DosBoot,
  UninstallInfo,
  Internet,
  FileSystem,
  Startup,
  StartMenu,
  OrphanedDlls,
};
constexpr int kStepCount = 10;
constexpr int Index(Step step) {
  return static_cast<int>(step);
}

// 16-bit booleans: True = -1, False = 0, any non-zero value counts as set.
struct SelectionFlags {
  std::int16_t optBrokenLinks = common::kFalse;
  std::int16_t optRegistryMistakes = common::kFalse;
  std::int16_t optVirtualCache = common::kFalse;
  std::int16_t optDosBoot = common::kFalse;
  std::int16_t optFileSystem = common::kFalse;
  std::int16_t optStartup = common::kFalse;
  std::int16_t optStartMenu = common::kFalse;
  std::int16_t optInternet = common::kFalse;
  std::int16_t optUninstallInfo = common::kFalse;
  std::int16_t optOrphanedDlls = common::kFalse;

  std::int16_t& For(Step step);
  std::int16_t For(Step step) const;
  void SetAll(std::int16_t value);
  bool Any() const;
};

// Shared by the run driver and the four timers of the scanning page.
struct ProgressState {
  std::int16_t startProgressStep = 0;
  std::int16_t progressFixedPace = common::kFalse;
  std::int32_t progressStep = 0;
  std::int32_t progressInterval = 0;
};

// Every shortcut file the search met, with its target; entries 1..5000 (index 0 unused).
struct ShortcutTable {
  static constexpr int kCapacity = 5000;
  std::vector<std::string> linkFiles = std::vector<std::string>(kCapacity + 1);
  std::vector<std::string> linkTargets = std::vector<std::string>(kCapacity + 1);
  std::int16_t linkCount = 0;
};

// What the system-information module collected last.
struct SystemInfo {
  std::string windowsDir;
  std::string systemDir;
  vu::platform::MemoryStatus memoryStatus;
  std::string osName;
  std::string osVersion;
  std::string processorName;
  std::string memTotalPhys, memAvailPhys, memTotalVirtual, memAvailVirtual;
  std::string userName;
  std::uint32_t volumeSerial = 0;
  std::string bootMode;
  std::string screenSize;
};

// The outcome of one step of a run: whether every change it attempted took effect, or that the
// running Windows does not read what the step would change, so it changed nothing.
enum class StepOutcome { NotRun, Done, Failed, NotNeeded };

struct OptimizerState {
  SelectionFlags flags;
  ProgressState progress;
  ShortcutTable shortcuts;
  SystemInfo info;
  std::array<StepOutcome, kStepCount> outcomes{};
};

}  // namespace vu::optimizer
