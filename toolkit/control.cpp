#include "toolkit/control.h"

#include <utility>

#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::toolkit {

namespace {

bool IsSelected(double value) {
  return value != 0;
}

// Clears a scope flag however the scope is left (End unwinds through tick handlers).
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;
  ~FlagScope() { flag_ = false; }

 private:
  bool& flag_;
};

}  // namespace

Control::Control(Form& form, Kind kind, std::string name, Control* container, const Spec& spec)
    : form_(form), kind_(kind), name_(std::move(name)), container_(container), spec_(spec) {
  if (kind_ == Kind::ProgressBar) spec_.value = static_cast<float>(spec_.value);
  if (kind_ == Kind::OptionButton && IsSelected(spec_.value)) spec_.value = -1;
  if (kind_ == Kind::Timer) {
    Program& program = form_.program();
    program.RegisterTimer(*this);
    if (spec_.enabled && spec_.interval > 0) dueAt = program.host().NowMs() + spec_.interval;
  }
}

void Control::Changed(Prop prop) {
  form_.Changed(*this, prop);
}

void Control::Move(int left, int top) {
  if (spec_.left == left && spec_.top == top) return;
  spec_.left = left;
  spec_.top = top;
  Changed(Prop::Geometry);
}

void Control::Resize(int width, int height) {
  if (spec_.width == width && spec_.height == height) return;
  spec_.width = width;
  spec_.height = height;
  Changed(Prop::Geometry);
}

void Control::SetLine(int x1, int y1, int x2, int y2) {
  spec_.left = x1;
  spec_.top = y1;
  spec_.width = x2;
  spec_.height = y2;
  Changed(Prop::Geometry);
}

void Control::SetCaption(std::string caption) {
  if (spec_.caption == caption) return;
  spec_.caption = std::move(caption);
  Changed(Prop::Caption);
}

void Control::SetVisible(bool visible) {
  if (spec_.visible == visible) return;
  spec_.visible = visible;
  Changed(Prop::Visible);
}

void Control::SetEnabled(bool enabled) {
  if (spec_.enabled == enabled) return;
  spec_.enabled = enabled;
  if (kind_ == Kind::Timer) {
    // Only switching a timer on starts a new countdown; switching it off drops the pending tick.
    if (enabled) form_.program().RestartTimer(*this);
    Changed(Prop::Timer);
  } else {
    Changed(Prop::Enabled);
  }
}

bool Control::shown() const {
  for (const Control* c = this; c != nullptr; c = c->container_) {
    if (!c->spec_.visible) return false;
  }
  return true;
}

bool Control::usable() const {
  for (const Control* c = this; c != nullptr; c = c->container_) {
    if (!c->spec_.enabled) return false;
  }
  return true;
}

void Control::SetBold(bool bold) {
  if (spec_.bold == bold) return;
  spec_.bold = bold;
  Changed(Prop::Font);
}

void Control::SetForeColor(Color color) {
  if (spec_.foreColor == color) return;
  spec_.foreColor = color;
  Changed(Prop::ForeColor);
}

void Control::SetBackColor(Color color) {
  if (spec_.backColor == color) return;
  spec_.backColor = color;
  Changed(Prop::BackColor);
}

void Control::SetAlign(Align align) {
  if (spec_.align == align) return;
  spec_.align = align;
  Changed(Prop::Font);
}

void Control::SetValue(double value) {
  switch (kind_) {
    case Kind::CheckBox:
      // As in the run time, assigning the value a check box already has raises no click.
      if (spec_.value == value) return;
      spec_.value = value;
      Changed(Prop::Value);
      RaiseClick();
      return;
    case Kind::OptionButton: {
      if (!IsSelected(value)) {
        if (!IsSelected(spec_.value)) return;
        spec_.value = 0;
        Changed(Prop::Value);
        return;
      }
      if (IsSelected(spec_.value)) return;
      // Only the option buttons of the same container form a group; theirs is cleared silently.
      for (const auto& other : form_.controls()) {
        if (other.get() == this || other->kind_ != Kind::OptionButton) continue;
        if (other->container_ != container_ || !IsSelected(other->spec_.value)) continue;
        other->spec_.value = 0;
        other->Changed(Prop::Value);
      }
      spec_.value = -1;
      Changed(Prop::Value);
      RaiseClick();
      return;
    }
    case Kind::ProgressBar: {
      // Out of range is an error in the run time, which the programs' error traps skip.
      const float v = static_cast<float>(value);
      if (!(v >= 0.0f && v <= 100.0f)) return;
      if (static_cast<float>(spec_.value) == v) return;
      spec_.value = v;
      Changed(Prop::Value);
      return;
    }
    default:
      if (spec_.value == value) return;
      spec_.value = value;
      Changed(Prop::Value);
      return;
  }
}

void Control::SetInterval(int ms) {
  if (ms < 0) return;
  spec_.interval = ms;
  // Assigning the interval restarts the countdown even when the value is the same.
  if (kind_ == Kind::Timer && spec_.enabled) form_.program().RestartTimer(*this);
  Changed(Prop::Timer);
}

void Control::SetTag(std::string tag) {
  if (spec_.tag == tag) return;
  spec_.tag = std::move(tag);
  Changed(Prop::Tag);
}

void Control::SetPicture(std::string picture) {
  if (spec_.picture == picture) return;
  spec_.picture = std::move(picture);
  Changed(Prop::Picture);
}

void Control::ZOrderFront() {
  int top = -1;
  for (const auto& other : form_.controls()) {
    if (other.get() != this && other->container_ == container_ && other->zOrder_ > top) {
      top = other->zOrder_;
    }
  }
  if (zOrder_ > top) return;
  zOrder_ = top + 1;
  Changed(Prop::ZOrder);
}

void Control::SetFocus() {
  form_.SetFocus(*this);
}

bool Control::TakesInput() const {
  if (form_.program().ended()) return false;
  if (!form_.visible() || !form_.enabled()) return false;
  return shown() && usable();
}

bool Control::UserClick() {
  if (kind_ == Kind::Timer || kind_ == Kind::Line || kind_ == Kind::Shape) return false;
  if (!TakesInput()) return false;
  switch (kind_) {
    case Kind::CommandButton:
    case Kind::CheckBox:
    case Kind::OptionButton:
    case Kind::TextBox:
      form_.SetFocus(*this);
      break;
    default:
      break;
  }
  if (onMouseUp) onMouseUp();
  if (form_.program().ended()) return true;
  switch (kind_) {
    case Kind::CheckBox:
      SetValue(spec_.value == 1 ? 0 : 1);
      break;
    case Kind::OptionButton:
      SetValue(-1);
      break;
    default:
      RaiseClick();
      break;
  }
  return true;
}

void Control::RaiseClick() {
  if (onClick && !form_.program().ended()) onClick();
}

void Control::DeliverTick() {
  if (ticking_ || !onTick || form_.program().ended()) return;
  FlagScope running(ticking_);
  onTick();
}

}  // namespace vu::toolkit
