#include "optimizer/engine/progress.h"

#include <cmath>

#include "toolkit/timer_wait.h"

namespace vu::optimizer {

namespace {

constexpr std::string_view kDots[] = {"", ".", ". .", ". . ."};
constexpr int kDotStates = 4;

float BarValue(const toolkit::Control& bar) {
  return static_cast<float>(bar.value());
}

}  // namespace

std::string NextInDotCycle(std::string_view text, std::string_view base) {
  if (text.substr(0, base.size()) != base) return std::string(text);
  const std::string_view dots = text.substr(base.size());
  for (int i = 0; i < kDotStates; ++i) {
    if (dots == kDots[i]) return std::string(base) + std::string(kDots[(i + 1) % kDotStates]);
  }
  return std::string(text);
}

void WaitTimerTick(Engine& engine) {
  toolkit::Control& timer = engine.view.waitTimer;
  if (timer.tag() == "off") {
    timer.SetTag("on");
  } else {
    timer.SetEnabled(false);
    timer.SetTag("off");
  }
}

void LabelTimerTick(Engine& engine) {
  toolkit::Control& label = engine.view.statusLabel;
  label.SetCaption(NextInDotCycle(label.caption(), kInitializing));
  engine.program.DoEvents();
}

void StartProgressTimerTick(Engine& engine) {
  RunView& view = engine.view;
  ProgressState& progress = engine.state.progress;
  const float v = BarValue(view.progressBar);

  if (v + progress.startProgressStep >= 100) {
    view.progressBar.SetValue(100);
    view.labelTimer.SetEnabled(false);
    Pause(engine, 1000);
    view.progressBar.SetValue(0);
    view.statusLabel.SetVisible(false);
    if (view.statusLabel2.visible()) {
      // The third phase starts over.
    } else if (view.statusLabel1.visible()) {
      view.statusLabel1.SetVisible(false);
      view.statusLabel2.SetVisible(true);
      progress.startProgressStep = 1;
      view.startProgressTimer.SetInterval(700);
    } else {
      view.statusLabel1.SetVisible(true);
    }
    return;
  }

  view.progressBar.SetValue(v + progress.startProgressStep);
  // The map line's dots move even while it is still hidden, during the first phase.
  if (view.statusLabel1.visible()) {
    view.statusLabel1.SetCaption(NextInDotCycle(view.statusLabel1.caption(), kAnalysing));
  } else {
    view.statusLabel2.SetCaption(NextInDotCycle(view.statusLabel2.caption(), kCreatingMap));
  }
}

void ProgressTimerTick(Engine& engine) {
  RunView& view = engine.view;
  ProgressState& progress = engine.state.progress;

  if (!common::IsSet(progress.progressFixedPace)) {
    const double pace = static_cast<double>(engine.program.Rnd()) * 300 + 200;
    view.progressTimer.SetInterval(static_cast<int>(std::nearbyint(pace)));
    progress.progressStep =
        static_cast<std::int32_t>(std::floor(static_cast<double>(engine.program.Rnd()) * 6)) + 1;
  }

  const float v = BarValue(view.progressBar);
  if (v + static_cast<float>(progress.progressStep) >= 100) {
    view.progressBar.SetValue(100);
    view.progressTimer.SetEnabled(false);
  } else {
    view.progressBar.SetValue(v + static_cast<float>(progress.progressStep));
  }
}

void StartProgress(Engine& engine, common::VbBool randomPace, std::int32_t duration) {
  RunView& view = engine.view;
  ProgressState& progress = engine.state.progress;

  view.progressBar.SetValue(0);
  progress.progressFixedPace = static_cast<common::VbBool>(~randomPace);
  progress.progressStep = 3;
  if (common::IsSet(randomPace)) {
    progress.progressInterval = 100;
  } else {
    progress.progressInterval = static_cast<std::int32_t>(
        std::floor(static_cast<double>(duration) / progress.progressStep / 20));
  }
  view.progressTimer.SetInterval(progress.progressInterval);
  view.progressTimer.SetEnabled(true);
}

void WaitForProgress(Engine& engine) {
  while (BarValue(engine.view.progressBar) != 100.0f)
    engine.program.WaitForEvent();
}

void Pause(Engine& engine, std::int16_t interval) {
  toolkit::WaitForTimer(engine.program, engine.view.waitTimer, interval);
}

}  // namespace vu::optimizer
