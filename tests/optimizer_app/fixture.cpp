#include "fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "toolkit/script.h"

namespace vu::optimizer::testing {

std::ostream& operator<<(std::ostream& out, const WizardView& view) {
  auto flag = [](bool visible, bool enabled) {
    return std::string(visible ? "shown" : "hidden") + (enabled ? "" : "/disabled");
  };
  return out << "{caption \"" << view.caption << "\", front " << view.front << ", next "
             << flag(view.nextVisible, view.nextEnabled) << ", back "
             << flag(view.backVisible, view.backEnabled) << ", help "
             << flag(view.helpVisible, true) << ", close " << flag(view.closeVisible, true) << "}";
}

WizardView Look(FrmMain& main) {
  return WizardView{main.caption(),
                    FrontPanel(main),
                    main.nextButton.visible(),
                    main.nextButton.enabled(),
                    main.backButton.visible(),
                    main.backButton.enabled(),
                    main.helpButton.visible(),
                    main.closeButton.visible()};
}

WizardView WelcomeView() {
  return WizardView{"Welcome", "startFrame", true, true, true, false, true, true};
}

WizardView CustomView() {
  return WizardView{"Custom", "customFrame", true, true, true, true, true, true};
}

WizardView SelectionView() {
  return WizardView{"Custom Settings", "customTypesFrame", true, true, true, true, true, true};
}

void Answer(OptimizerWorld& world, std::string_view script) {
  std::string error;
  auto parsed = toolkit::Script::Parse(script, &error);
  ASSERT_TRUE(parsed) << error;
  parsed->SetErrorStream(world.errors);
  world.program.SetScript(std::move(parsed));
}

Operations RunLog::Make() {
  Operations operations;
  operations.findShortcuts = [this](Engine& engine) {
    FrmMain& main = dynamic_cast<FrmMain&>(engine.progress);
    toolkit::Host& host = main.program().host();
    atSearch = Look(main);
    if (onSearch) onSearch(engine);
    searchStart = host.NowMs();
    while (host.NowMs() < searchStart + searchMs)
      engine.progress.Yield();
    searchEnd = host.NowMs();
    return true;
  };
  for (int i = 0; i < kStepCount; ++i) {
    operations.steps[i] = [this, i](Engine& engine) {
      performed.push_back(static_cast<Step>(i));
      FrmMain& main = dynamic_cast<FrmMain&>(engine.progress);
      performedAt.push_back(main.program().host().NowMs());
      atSteps.push_back(Look(main));
      return true;
    };
  }
  return operations;
}

void Spy(OptimizerWorld& world, toolkit::Control& timer, std::vector<TickRecord>& log) {
  auto inner = timer.onTick;
  auto depth = std::make_shared<int>(0);
  timer.onTick = [&world, &log, &timer, inner, depth] {
    const std::size_t at = log.size();
    TickRecord begun;
    begun.start = world.Now();
    begun.depth = *depth;
    log.push_back(begun);
    ++*depth;
    inner();
    --*depth;
    FrmMain& main = world.main();
    TickRecord& record = log[at];
    record.end = world.Now();
    record.bar = static_cast<float>(main.scan.progressBar.value());
    record.interval = timer.interval();
    record.status = main.scan.statusLabel.visible();
    record.status1 = main.scan.statusLabel1.visible();
    record.status2 = main.scan.statusLabel2.visible();
    record.caption = main.scan.statusLabel.caption();
    record.caption1 = main.scan.statusLabel1.caption();
    record.caption2 = main.scan.statusLabel2.caption();
  };
}

}  // namespace vu::optimizer::testing
