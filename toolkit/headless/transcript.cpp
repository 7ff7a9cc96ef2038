#include "toolkit/headless/transcript.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

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

// A picture slot of a page line: an image, shown or not, left of a text on the same row.
bool IsPictureSlot(const Control& control) {
  return control.kind() == Kind::Image;
}

bool Inside(const Control& control, const Control& panel) {
  for (const Control* c = control.container(); c != nullptr; c = c->container()) {
    if (c == &panel) return true;
  }
  return false;
}

bool SameRow(const Control& a, const Control& b) {
  return a.top() < b.top() + b.height() && b.top() < a.top() + a.height();
}

// The picture a user sees beside |text|: the nearest slot on its row to its left.
std::string PictureBeside(const Control& text, const Control& panel) {
  const Control* nearest = nullptr;
  for (const auto& other : panel.form().controls()) {
    const Control& slot = *other;
    if (!IsPictureSlot(slot) || !Inside(slot, panel) || !SameRow(slot, text)) continue;
    if (slot.left() + slot.width() > text.left()) continue;
    if (nearest == nullptr || slot.left() > nearest->left()) nearest = &slot;
  }
  if (nearest == nullptr || !Transcript::Seen(*nearest) || nearest->picture().empty()) {
    return "none";
  }
  return nearest->picture();
}

// Greyed as the wizard greys what it did not do: the grey text colour, or a disabled control.
bool Greyed(const Control& control) {
  return control.foreColor() == Rgb(128, 128, 128) || !control.enabled();
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
      if (IsPanel(control) && Seen(control)) {
        Write(Name(control) + " to front");
        ReadOut(control);
      }
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

void Transcript::ReadOut(const Control& panel) {
  const auto& controls = panel.form().controls();
  const bool hasSlots = std::any_of(controls.begin(), controls.end(), [&panel](const auto& c) {
    return IsPictureSlot(*c) && Inside(*c, panel);
  });
  if (!hasSlots) return;
  std::vector<const Control*> lines;
  for (const auto& c : controls) {
    if (HasText(*c) && c->kind() != Kind::Frame && Inside(*c, panel) && Seen(*c) &&
        !c->caption().empty()) {
      lines.push_back(c.get());
    }
  }
  std::stable_sort(lines.begin(), lines.end(), [](const Control* a, const Control* b) {
    return a->top() != b->top() ? a->top() < b->top() : a->left() < b->left();
  });
  for (const Control* line : lines) {
    std::string text = "  " + Name(*line) + " picture " + PictureBeside(*line, panel) + " " +
                       Quoted(line->caption());
    if (line->kind() == Kind::CheckBox) text += " value " + NumberText(line->value());
    if (Greyed(*line)) text += " greyed";
    Write(text);
  }
}

}  // namespace vu::toolkit
