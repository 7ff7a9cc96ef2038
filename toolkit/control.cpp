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

Control::Control(Form& form, Kind kind, std::string name, Control* container, const Design& design)
    : form_(form), kind_(kind), name_(std::move(name)), container_(container), design_(design) {
  if (kind_ == Kind::ProgressBar) design_.value = static_cast<float>(design_.value);
  if (kind_ == Kind::OptionButton && IsSelected(design_.value)) design_.value = -1;
  if (kind_ == Kind::Timer) {
    Program& program = form_.program();
    program.RegisterTimer(*this);
    if (design_.enabled && design_.interval > 0) dueAt = program.host().NowMs() + design_.interval;
  }
}

void Control::Changed(Prop prop) {
  form_.Changed(*this, prop);
}

void Control::Move(int left, int top) {
  if (design_.left == left && design_.top == top) return;
  design_.left = left;
  design_.top = top;
  Changed(Prop::Geometry);
}

void Control::Resize(int width, int height) {
  if (design_.width == width && design_.height == height) return;
  design_.width = width;
  design_.height = height;
  Changed(Prop::Geometry);
}

void Control::SetLine(int x1, int y1, int x2, int y2) {
  design_.left = x1;
  design_.top = y1;
  design_.width = x2;
  design_.height = y2;
  Changed(Prop::Geometry);
}

void Control::SetCaption(std::string caption) {
  if (design_.caption == caption) return;
  design_.caption = std::move(caption);
  Changed(Prop::Caption);
}

void Control::SetVisible(bool visible) {
  if (design_.visible == visible) return;
  design_.visible = visible;
  Changed(Prop::Visible);
}

void Control::SetEnabled(bool enabled) {
  if (design_.enabled == enabled) return;
  design_.enabled = enabled;
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
    if (!c->design_.visible) return false;
  }
  return true;
}

bool Control::usable() const {
  for (const Control* c = this; c != nullptr; c = c->container_) {
    if (!c->design_.enabled) return false;
  }
  return true;
}

void Control::SetBold(bool bold) {
  if (design_.bold == bold) return;
  design_.bold = bold;
  Changed(Prop::Font);
}

void Control::SetForeColor(Color color) {
  if (design_.foreColor == color) return;
  design_.foreColor = color;
  Changed(Prop::ForeColor);
}

void Control::SetBackColor(Color color) {
  if (design_.backColor == color) return;
  design_.backColor = color;
  Changed(Prop::BackColor);
}

void Control::SetAlign(Align align) {
  if (design_.align == align) return;
  design_.align = align;
  Changed(Prop::Font);
}

void Control::SetValue(double value) {
  switch (kind_) {
    case Kind::CheckBox:
      // As in the run time, assigning the value a check box already has raises no click.
      if (design_.value == value) return;
      design_.value = value;
      Changed(Prop::Value);
      RaiseClick();
      return;
    case Kind::OptionButton: {
      if (!IsSelected(value)) {
        if (!IsSelected(design_.value)) return;
        design_.value = 0;
        Changed(Prop::Value);
        return;
      }
      if (IsSelected(design_.value)) return;
      // Only the option buttons of the same container form a group; theirs is cleared silently.
      for (const auto& other : form_.controls()) {
        if (other.get() == this || other->kind_ != Kind::OptionButton) continue;
        if (other->container_ != container_ || !IsSelected(other->design_.value)) continue;
        other->design_.value = 0;
        other->Changed(Prop::Value);
      }
      design_.value = -1;
      Changed(Prop::Value);
      RaiseClick();
      return;
    }
    case Kind::ProgressBar: {
      // Out of range is an error in the run time, which the programs' error traps skip.
      const float v = static_cast<float>(value);
      if (!(v >= 0.0f && v <= 100.0f)) return;
      if (static_cast<float>(design_.value) == v) return;
      design_.value = v;
      Changed(Prop::Value);
      return;
    }
    default:
      if (design_.value == value) return;
      design_.value = value;
      Changed(Prop::Value);
      return;
  }
}

void Control::SetInterval(int ms) {
  if (ms < 0) return;
  design_.interval = ms;
  // Assigning the interval restarts the countdown even when the value is the same.
  if (kind_ == Kind::Timer && design_.enabled) form_.program().RestartTimer(*this);
  Changed(Prop::Timer);
}

void Control::SetTag(std::string tag) {
  if (design_.tag == tag) return;
  design_.tag = std::move(tag);
  Changed(Prop::Tag);
}

void Control::SetPicture(std::string picture) {
  if (design_.picture == picture) return;
  design_.picture = std::move(picture);
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
      SetValue(design_.value == 1 ? 0 : 1);
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
