#include "optimizer/engine/state.h"

namespace vu::optimizer {

std::int16_t& SelectionFlags::For(Step step) {
  switch (step) {
    case Step::BrokenLinks:
      return optBrokenLinks;
    case Step::RegistryMistakes:
      return optRegistryMistakes;
    case Step::VirtualCache:
      return optVirtualCache;
    case Step::DosBoot:
      return optDosBoot;
    case Step::UninstallInfo:
      return optUninstallInfo;
    case Step::Internet:
      return optInternet;
    case Step::FileSystem:
      return optFileSystem;
    case Step::Startup:
      return optStartup;
    case Step::StartMenu:
      return optStartMenu;
    case Step::OrphanedDlls:
      return optOrphanedDlls;
  }
  return optOrphanedDlls;  // not reached: every step is named above
}

std::int16_t SelectionFlags::For(Step step) const {
  return const_cast<SelectionFlags&>(*this).For(step);
}

void SelectionFlags::SetAll(std::int16_t value) {
  for (int i = 0; i < kStepCount; ++i)
    For(static_cast<Step>(i)) = value;
}

bool SelectionFlags::Any() const {
  for (int i = 0; i < kStepCount; ++i) {
    if (common::IsSet(For(static_cast<Step>(i)))) return true;
  }
  return false;
}

}  // namespace vu::optimizer
