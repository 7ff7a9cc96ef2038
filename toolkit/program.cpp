#include "toolkit/program.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "toolkit/script.h"

namespace vu::toolkit {

namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

// A timer without a handler ticks without effect, so it never counts as something to wait for.
bool Runs(const Control& timer) {
  return timer.enabled() && timer.interval() > 0 && !timer.ticking() && timer.onTick;
}

}  // namespace

Program::Program(Host& host) : host_(host) {
  host_.program_ = this;
}

Program::~Program() {
  if (host_.program_ == this) host_.program_ = nullptr;
}

void Program::Adopt(std::type_index type, std::unique_ptr<Form> form) {
  Form& ref = *form;
  forms_.emplace(type, std::move(form));
  order_.push_back(&ref);
  ref.loaded_ = true;
  UpdateInputBlocking();
  host_.FormCreated(ref);
  ref.Load();
}

Form* Program::FindForm(std::string_view name) const {
  for (Form* form : order_) {
    if (form->name() == name) return form;
  }
  return nullptr;
}

int Program::Run(const std::function<void()>& startup) {
  try {
    if (startup) startup();
    return host_.Run();
  } catch (const EndProgram& end) {
    return end.exitCode;
  }
}

void Program::End(int exitCode) {
  ended_ = true;
  throw EndProgram{exitCode};
}

float Program::Rnd() {
  // The run time's generator: a 24-bit linear congruential sequence.
  rndSeed_ = (rndSeed_ * 1140671485u + 12820163u) & 0xFFFFFFu;
  return static_cast<float>(rndSeed_) / 16777216.0f;
}

void Program::Randomize() {
  Randomize(Timer());
}

void Program::Randomize(double number) {
  // Folds the high half of the number's bits into the middle 16 bits of the seed, as the run
  // time does; the low byte of the old seed survives.
  const auto bits = std::bit_cast<std::uint64_t>(number);
  const auto high = static_cast<std::uint32_t>(bits >> 32);
  const std::uint32_t mixed = ((high >> 16) ^ high) & 0xFFFFu;
  rndSeed_ = (rndSeed_ & 0xFFu) | (mixed << 8);
}

void Program::UpdateInputBlocking() {
  Form* top = modalForm();
  for (Form* form : order_)
    form->enabled_ = top == nullptr || form == top;
}

std::int64_t Program::NextTimerDue() const {
  std::int64_t next = kNever;
  for (const Control* timer : timers_) {
    if (Runs(*timer)) next = std::min(next, timer->dueAt);
  }
  return next;
}

std::int64_t Program::NextWorkTimerDue() const {
  std::int64_t next = kNever;
  for (const Control* timer : timers_) {
    if (Runs(*timer) && !timer->animation()) next = std::min(next, timer->dueAt);
  }
  return next;
}

bool Program::RunDueTimers(std::int64_t now) {
  bool ran = false;
  // Each timer ticks at most once per pass, even if its handler restarts it on a clock that
  // has not caught up with |now|.
  std::vector<const Control*> delivered;
  while (!ended_) {
    Control* earliest = nullptr;
    for (std::size_t i = 0; i < timers_.size(); ++i) {
      Control* timer = timers_[i];
      if (!Runs(*timer) || timer->dueAt > now) continue;
      if (std::find(delivered.begin(), delivered.end(), timer) != delivered.end()) continue;
      if (earliest == nullptr || timer->dueAt < earliest->dueAt) earliest = timer;
    }
    if (earliest == nullptr) break;
    // Scheduled before the handler runs, so that an interval set inside the handler wins. A
    // timer that fell behind keeps one pending tick, not a burst of them.
    std::int64_t next = earliest->dueAt + earliest->interval();
    if (next <= now) next = now + earliest->interval();
    earliest->dueAt = next;
    delivered.push_back(earliest);
    earliest->DeliverTick();
    ran = true;
  }
  return ran;
}

void Program::RestartTimer(Control& timer) {
  timer.dueAt = host_.NowMs() + timer.interval();
}

void Program::SetScript(std::unique_ptr<Script> script) {
  script_ = std::move(script);
}

bool Program::PollScript() {
  if (!script_ || ended_) return false;
  return script_->Poll(*this);
}

std::int64_t Program::NextScriptDue() const {
  if (!script_ || ended_) return kNever;
  return script_->NextDue(*this);
}

}  // namespace vu::toolkit
