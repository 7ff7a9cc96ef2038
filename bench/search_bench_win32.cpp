// The shortcut search of the Windows build on the real system drive, for bench/run.sh under
// Wine: prints "<seconds> <shortcuts found>".
#include <chrono>
#include <cstdio>
#include <memory>

#include "optimizer/engine/engine.h"
#include "optimizer/engine/shortcuts.h"
#include "optimizer/engine/unwatched_progress.h"
#include "platform/win32/machine.h"

int main() {
  std::unique_ptr<vu::platform::Machine> machine = vu::platform::win32::OpenWin32Machine();
  vu::optimizer::OptimizerState state;
  vu::optimizer::UnwatchedProgress progress;
  vu::optimizer::Engine engine{*machine, state, progress};
  const auto start = std::chrono::steady_clock::now();
  vu::optimizer::FindShortcuts(engine);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.4f %d\n", seconds, static_cast<int>(state.shortcuts.linkCount));
  return 0;
}
