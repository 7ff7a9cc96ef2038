#include "toolkit/form.h"

#include <cstdint>
#include <limits>
#include <utility>

#include "toolkit/program.h"

namespace vu::toolkit {

namespace {

bool CanHoldFocus(Kind kind) {
  return kind == Kind::CommandButton || kind == Kind::CheckBox || kind == Kind::OptionButton ||
         kind == Kind::TextBox;
}

}  // namespace

Form::Form(Program& program, std::string name, const FormDesign& design)
    : program_(program), name_(std::move(name)), design_(design) {}

Form::~Form() = default;

void Form::SetCaption(std::string caption) {
  if (design_.caption == caption) return;
  design_.caption = std::move(caption);
  if (loaded_) program_.host().FormCaptionChanged(*this);
}

void Form::Show() {
  if (visible_ || program_.ended()) return;
  visible_ = true;
  program_.host().FormShown(*this);
  FocusFirst();
}

void Form::ShowModal() {
  // Showing a form that is already up modally is an error the programs' traps skip.
  if (visible_ || program_.ended()) return;
  modal_ = true;
  visible_ = true;
  program_.modal_.push_back(this);
  program_.UpdateInputBlocking();

  // Undoes the modal state however the loop is left (End unwinds through here).
  class ModalScope {
   public:
    explicit ModalScope(Form& form) : form_(form) {}
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope() {
      auto& stack = form_.program_.modal_;
      for (auto it = stack.end(); it != stack.begin();) {
        --it;
        if (*it == &form_) {
          stack.erase(it);
          break;
        }
      }
      form_.modal_ = false;
      form_.program_.UpdateInputBlocking();
    }

   private:
    Form& form_;
  } scope(*this);

  program_.host().FormShown(*this);
  FocusFirst();
  program_.host().RunModal(*this);
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  program_.host().FormHidden(*this);
}

Control& Form::Add(Kind kind, std::string name, const Design& design, Control* container) {
  auto control = std::make_unique<Control>(*this, kind, std::move(name), container, design);
  control->zOrder_ = static_cast<int>(controls_.size());
  Control& ref = *control;
  controls_.push_back(std::move(control));
  byName_.emplace(ref.name(), &ref);
  return ref;
}

Control* Form::Find(std::string_view name) const {
  auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

void Form::SetFocus(Control& control) {
  // The run time raises an error for a control that cannot take the focus; the programs'
  // error traps skip it, so it is simply ignored here.
  if (&control.form() != this || !visible_ || program_.ended()) return;
  if (!CanHoldFocus(control.kind()) || !control.shown() || !control.usable()) return;
  if (focused_ == &control) return;
  Control* previous = focused_;
  focused_ = &control;
  program_.host().FocusChanged(*this, &control);
  if (previous != nullptr && previous->onLostFocus) previous->onLostFocus();
  if (control.onGotFocus) control.onGotFocus();
}

void Form::FocusFirst() {
  if (focused_ != nullptr) return;
  Control* first = nullptr;
  std::int64_t firstKey = std::numeric_limits<std::int64_t>::max();
  std::int64_t creation = 0;
  for (const auto& control : controls_) {
    ++creation;
    if (!CanHoldFocus(control->kind()) || !control->tabStop()) continue;
    if (!control->shown() || !control->usable()) continue;
    // Explicit tab indexes come first, then the controls without one in creation order.
    const std::int64_t key =
        control->tabIndex() >= 0 ? control->tabIndex() : std::numeric_limits<int>::max() + creation;
    if (key < firstKey) {
      firstKey = key;
      first = control.get();
    }
  }
  if (first != nullptr) SetFocus(*first);
}

const std::vector<FillRect>& Form::Paint() {
  paint_.clear();
  if (onPaint) onPaint(*this);
  return paint_;
}

int Form::clientWidth() const {
  if (!design_.maximized) return design_.clientWidth;
  Host& host = program_.host();
  return host.ScreenWidthPixels() * host.TwipsPerPixelX();
}

int Form::clientHeight() const {
  if (!design_.maximized) return design_.clientHeight;
  Host& host = program_.host();
  return host.ScreenHeightPixels() * host.TwipsPerPixelY();
}

void Form::Changed(Control& control, Prop prop) {
  if (loaded_) program_.host().ControlChanged(control, prop);
}

}  // namespace vu::toolkit
