#include "toolkit/layout.h"

#include "toolkit/form.h"
#include "toolkit/script.h"

namespace vu::toolkit {

namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    // A caption spread over lines stays on the control's one line.
    out += c == '\n' || c == '\r' ? ' ' : c;
  }
  return out + "\"";
}

std::string Value(const Control& control) {
  if (control.kind() != Kind::CheckBox && control.kind() != Kind::OptionButton) return "-";
  return PropertyText(control, Property::Value);
}

}  // namespace

std::string DescribeLayout(const Form& form) {
  std::string out = "form " + form.name() + " " + std::to_string(form.design().clientWidth) + " " +
                    std::to_string(form.design().clientHeight) + " " + Quoted(form.caption()) +
                    "\n";
  for (const auto& control : form.controls()) {
    if (control->kind() == Kind::Timer) continue;
    const Control* container = control->container();
    out += "control " + control->name() + " " + (container ? container->name() : "-") + " " +
           std::to_string(control->left()) + " " + std::to_string(control->top()) + " " +
           std::to_string(control->width()) + " " + std::to_string(control->height()) + " " +
           (control->shown() ? "1" : "0") + " " + (control->usable() ? "1" : "0") + " " +
           Value(*control) + " " + Quoted(control->caption()) + "\n";
  }
  return out;
}

}  // namespace vu::toolkit
