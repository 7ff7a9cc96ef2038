#include "recording_progress.h"

namespace vu::optimizer::testing {

namespace {

std::string Outcome(StepOutcome outcome) {
  switch (outcome) {
    case StepOutcome::Done:
      return "done";
    case StepOutcome::Failed:
      return "failed";
    case StepOutcome::NotNeeded:
      return "not needed";
    default:
      return "-";
  }
}

}  // namespace

int RecordingProgress::Count(const std::string& prefix) const {
  int count = 0;
  for (const std::string& event : events)
    count += event.rfind(prefix, 0) == 0;
  return count;
}

std::string RecordingProgress::Last(const std::string& prefix) const {
  for (auto it = events.rbegin(); it != events.rend(); ++it) {
    if (it->rfind(prefix, 0) == 0) return it->substr(prefix.size());
  }
  return "";
}

void RecordingProgress::SearchBegins() {
  events.push_back("search begins");
}

void RecordingProgress::SearchEnds() {
  events.push_back("search ends");
}

void RecordingProgress::ListSteps(const SelectionFlags& flags) {
  std::string line = "list";
  for (int i = 0; i < kStepCount; ++i)
    line += common::IsSet(flags.For(static_cast<Step>(i))) ? " +" : " -";
  events.push_back(line);
}

void RecordingProgress::StepBegins(Step step, common::VbBool randomPace, std::int32_t duration) {
  yieldsInStep_ = 0;
  events.push_back("begin " + std::to_string(Index(step)) +
                   (common::IsSet(randomPace) ? " random" : " " + std::to_string(duration)));
}

void RecordingProgress::StepEnds(Step step, StepOutcome outcome) {
  events.push_back("end " + std::to_string(Index(step)) +
                   (outcome == StepOutcome::NotNeeded ? " not needed" : ""));
}

void RecordingProgress::ShowResults(const SelectionFlags&,
                                    const std::array<StepOutcome, kStepCount>& outcomes,
                                    const std::string& backupFolder) {
  std::string line = "results";
  for (StepOutcome outcome : outcomes)
    line += " " + Outcome(outcome);
  events.push_back(line + (backupFolder.empty() ? "" : " backup"));
}

bool RecordingProgress::BarFull() {
  return fullAfterYields >= 0 && yieldsInStep_ >= fullAfterYields;
}

void RecordingProgress::WaitForBar() {
  events.push_back("wait for bar");
}

void RecordingProgress::PaceBar(int intervalMs) {
  events.push_back("pace " + std::to_string(intervalMs));
}

void RecordingProgress::Pause(std::int16_t interval) {
  events.push_back("pause " + std::to_string(interval));
}

void RecordingProgress::Yield() {
  ++yields;
  ++yieldsInStep_;
}

void RecordingProgress::Randomize() {}

float RecordingProgress::Random() {
  if (randoms.empty()) return 0;
  const float value = randoms[std::min(nextRandom_, randoms.size() - 1)];
  ++nextRandom_;
  return value;
}

void RecordingProgress::ShowSection(const std::string& section) {
  events.push_back("section " + section);
}

void RecordingProgress::ShowKey(const std::string& name) {
  events.push_back("key " + name);
}

void RecordingProgress::ShowFileLine(const std::string& line) {
  events.push_back("line " + line);
}

}  // namespace vu::optimizer::testing
