#include "toolkit/headless/transcript.h"

#include <cmath>
#include <cstdio>

#include "toolkit/form.h"
#include "toolkit/script.h"

namespace vu::toolkit {

namespace {

bool IsPanel(const Control& control) {
  return control.kind() == Kind::PictureBox || control.kind() == Kind::Frame;
}

// A picture that is not a panel: a tick, a side picture.
bool IsPicture(const Control& control) {
  return (control.kind() == Kind::Image || control.kind() == Kind::PictureBox) &&
         !control.picture().empty();
}

bool HasText(const Control& control) {
  switch (control.kind()) {
    case Kind::Label:
    case Kind::CommandButton:
    case Kind::CheckBox:
    case Kind::OptionButton:
    case Kind::Frame:
      return true;
    default:
      return false;
  }
}

bool Overlap(const Control& a, const Control& b) {
  return a.left() < b.left() + b.width() && b.left() < a.left() + a.width() &&
         a.top() < b.top() + b.height() && b.top() < a.top() + a.height();
}

bool Covered(const Control& panel) {
  for (const auto& other : panel.form().controls()) {
    if (other.get() == &panel || other->container() != panel.container()) continue;
    if (IsPanel(*other) && other->visible() && other->zOrder() > panel.zOrder() &&
        Overlap(*other, panel)) {
      return true;
    }
  }
  return false;
}

// Seen, leaving aside the control's own visible flag (to report it disappearing).
bool PlaceSeen(const Control& control) {
  if (!control.form().visible()) return false;
  if (IsPanel(control) && Covered(control)) return false;
  for (const Control* c = control.container(); c != nullptr; c = c->container()) {
    if (!c->visible() || Covered(*c)) return false;
  }
  return true;
}

std::string Name(const Control& control) {
  return control.form().name() + "." + control.name();
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

int Tenth(double value) {
  return static_cast<int>(std::floor(value / 10.0));
}

}  // namespace

Transcript::Transcript(std::ostream& out, std::function<std::int64_t()> clock)
    : out_(out), clock_(std::move(clock)) {}

std::string Transcript::Stamp(std::int64_t ms) {
  char text[40];
  std::snprintf(text, sizeof text, "[%02lld:%02lld.%03lld] ", static_cast<long long>(ms / 60000),
                static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
  return text;
}

bool Transcript::Seen(const Control& control) {
  return control.visible() && PlaceSeen(control);
}

void Transcript::Write(const std::string& text) {
  out_ << Stamp(clock_()) << text << std::endl;
}

void Transcript::FormShown(const Form& form) {
  Write(form.name() + (form.modal() ? " opens " : " shown ") + Quoted(form.caption()));
}

void Transcript::FormHidden(const Form& form) {
  Write(form.name() + (form.modal() ? " closes" : " hidden"));
}

void Transcript::FormCaptionChanged(const Form& form) {
  if (form.visible()) Write(form.name() + " caption " + Quoted(form.caption()));
}

void Transcript::ControlChanged(const Control& control, Prop prop) {
  switch (prop) {
    case Prop::Caption:
      if (HasText(control) && Seen(control)) Write(Name(control) + " " + Quoted(control.caption()));
      return;
    case Prop::Visible: {
      if (control.kind() == Kind::Timer || !PlaceSeen(control)) return;
      std::string line = Name(control);
      if (IsPicture(control)) {
        line += control.visible() ? " appears" : " disappears";
      } else {
        line += control.visible() ? " shows" : " hides";
        if (control.visible() && HasText(control)) line += " " + Quoted(control.caption());
      }
      Write(line);
      return;
    }
    case Prop::Font:
      if (HasText(control) && Seen(control)) {
        Write(Name(control) + (control.bold() ? " bold" : " plain"));
      }
      return;
    case Prop::Enabled:
      if (control.kind() != Kind::Label && Seen(control)) {
        Write(Name(control) + (control.enabled() ? " enabled" : " disabled"));
      }
      return;
    case Prop::ZOrder:
      if (IsPanel(control) && Seen(control)) Write(Name(control) + " to front");
      return;
    case Prop::Value:
      if (control.kind() == Kind::CheckBox && Seen(control)) {
        Write(Name(control) + " value " + NumberText(control.value()));
      } else if (control.kind() == Kind::OptionButton && control.value() != 0 && Seen(control)) {
        Write(Name(control) + " selected");
      } else if (control.kind() == Kind::ProgressBar) {
        // Every bar starts at 0; only a move into another tenth is worth a line.
        auto [it, inserted] = tenths_.try_emplace(&control, 0);
        const int tenth = Tenth(control.value());
        if (it->second == tenth) return;
        it->second = tenth;
        if (Seen(control)) Write(Name(control) + " " + NumberText(control.value()));
      }
      return;
    default:
      return;
  }
}

}  // namespace vu::toolkit
