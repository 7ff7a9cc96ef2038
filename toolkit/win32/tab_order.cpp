#include "toolkit/win32/tab_order.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

namespace vu::toolkit::win32 {

namespace {

bool IsPanel(const Control& control) {
  return control.kind() == Kind::PictureBox || control.kind() == Kind::Frame;
}

bool Overlap(const Control& a, const Control& b) {
  return a.left() < b.left() + b.width() && b.left() < a.left() + a.width() &&
         a.top() < b.top() + b.height() && b.top() < a.top() + a.height();
}

// Whether the control sits in a panel that a visible sibling panel lies in front of: the
// wizards stack their pages as panels in one place, and the pages behind are visible but
// cannot be seen.
bool Hidden(const Control& control) {
  for (const Control* panel = control.container(); panel != nullptr; panel = panel->container()) {
    for (const auto& other : panel->form().controls()) {
      if (other.get() == panel || other->container() != panel->container()) continue;
      if (IsPanel(*other) && other->visible() && other->zOrder() > panel->zOrder() &&
          Overlap(*other, *panel)) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace

bool TakesFocus(Kind kind) {
  return kind == Kind::CommandButton || kind == Kind::CheckBox || kind == Kind::OptionButton ||
         kind == Kind::TextBox;
}

std::vector<Control*> TabSequence(const Form& form) {
  std::vector<std::pair<std::int64_t, Control*>> stops;
  std::int64_t creation = 0;
  for (const auto& control : form.controls()) {
    ++creation;
    if (!TakesFocus(control->kind()) || !control->tabStop()) continue;
    if (!control->shown() || !control->usable() || Hidden(*control)) continue;
    // Explicit tab indexes first, then the controls without one in creation order.
    const std::int64_t key = control->tabIndex() >= 0 ? control->tabIndex() : INT_MAX + creation;
    stops.emplace_back(key, control.get());
  }
  std::stable_sort(stops.begin(), stops.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });

  std::vector<Control*> sequence;
  for (std::size_t i = 0; i < stops.size(); ++i) {
    Control* control = stops[i].second;
    if (control->kind() == Kind::OptionButton) {
      bool groupHasSelection = false;
      bool earlierMember = false;
      for (std::size_t j = 0; j < stops.size(); ++j) {
        const Control* other = stops[j].second;
        if (other->kind() != Kind::OptionButton || other->container() != control->container()) {
          continue;
        }
        if (other->value() != 0) groupHasSelection = true;
        if (j < i) earlierMember = true;
      }
      if (groupHasSelection ? control->value() == 0 : earlierMember) continue;
    }
    sequence.push_back(control);
  }
  return sequence;
}

Control* NextTabStop(const Form& form, const Control* current, bool forward) {
  const std::vector<Control*> sequence = TabSequence(form);
  if (sequence.empty()) return nullptr;
  const auto it = std::find(sequence.begin(), sequence.end(), current);
  if (it == sequence.end()) return forward ? sequence.front() : sequence.back();
  const auto index = static_cast<std::size_t>(it - sequence.begin());
  const std::size_t count = sequence.size();
  return sequence[forward ? (index + 1) % count : (index + count - 1) % count];
}

Control* CancelButton(const Form& form) {
  for (const auto& control : form.controls()) {
    if (control->kind() == Kind::CommandButton && control->isCancel() && control->shown() &&
        control->usable() && control->native != 0) {
      return control.get();
    }
  }
  return nullptr;
}

}  // namespace vu::toolkit::win32
