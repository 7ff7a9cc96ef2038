#include "toolkit/script.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <limits>

#include "toolkit/program.h"

namespace vu::toolkit {

namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

const char* Bool(bool value) {
  return value ? "True" : "False";
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

struct Token {
  enum Kind { Word, Quoted, Equals } kind;
  std::string text;
};

// Splits a line into words, quoted texts and '='; stops at a '#' outside quotes. |statement|
// receives the line without its comment and surrounding blanks.
bool Tokenize(std::string_view line, std::vector<Token>& tokens, std::string& statement,
              std::string& error) {
  std::size_t i = 0;
  std::size_t end = line.size();
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      end = i;
      break;
    } else if (c == '=') {
      tokens.push_back({Token::Equals, "="});
      ++i;
    } else if (c == '"') {
      std::string text;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
          text += line[i + 1];
          i += 2;
        } else if (line[i] == '"') {
          closed = true;
          ++i;
          break;
        } else {
          text += line[i++];
        }
      }
      if (!closed) {
        error = "unterminated quoted text";
        return false;
      }
      tokens.push_back({Token::Quoted, std::move(text)});
    } else {
      const std::size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
             line[i] != '"' && line[i] != '=') {
        ++i;
      }
      tokens.push_back({Token::Word, std::string(line.substr(start, i - start))});
    }
  }
  std::string_view kept = line.substr(0, end);
  while (!kept.empty() && (kept.back() == ' ' || kept.back() == '\t' || kept.back() == '\r')) {
    kept.remove_suffix(1);
  }
  while (!kept.empty() && (kept.front() == ' ' || kept.front() == '\t'))
    kept.remove_prefix(1);
  statement = std::string(kept);
  return true;
}

bool IsIdentifier(std::string_view text) {
  if (text.empty()) return false;
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!letter(text[0])) return false;
  return std::all_of(text.begin(), text.end(),
                     [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

bool ParseMs(const Token& token, std::int64_t& ms) {
  if (token.kind != Token::Word || token.text.empty() || token.text.size() > 10) return false;
  if (!std::all_of(token.text.begin(), token.text.end(),
                   [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  std::from_chars(token.text.data(), token.text.data() + token.text.size(), ms);
  return true;
}

bool ParseProperty(std::string_view word, Property& property) {
  static constexpr std::pair<std::string_view, Property> kNames[] = {{"caption", Property::Caption},
                                                                     {"visible", Property::Visible},
                                                                     {"enabled", Property::Enabled},
                                                                     {"value", Property::Value},
                                                                     {"bold", Property::Bold}};
  for (const auto& [name, value] : kNames) {
    if (SameName(word, name)) {
      property = value;
      return true;
    }
  }
  return false;
}

std::vector<std::string> SplitDots(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = text.find('.', start);
    parts.emplace_back(text.substr(start, dot == std::string_view::npos ? dot : dot - start));
    if (dot == std::string_view::npos) return parts;
    start = dot + 1;
  }
}

// FORM.CONTROL (withProperty false) or FORM[.CONTROL].PROPERTY (withProperty true).
bool ParseTarget(const Token& token, bool withProperty, Script::Step& step, std::string& error) {
  if (token.kind != Token::Word) {
    error = "expected FORM.CONTROL";
    return false;
  }
  const std::vector<std::string> parts = SplitDots(token.text);
  for (const std::string& part : parts) {
    if (!IsIdentifier(part)) {
      error = "\"" + token.text + "\" is not a name of the form FORM.CONTROL";
      return false;
    }
  }
  if (!withProperty) {
    if (parts.size() != 2) {
      error = "expected FORM.CONTROL, found \"" + token.text + "\"";
      return false;
    }
    step.form = parts[0];
    step.control = parts[1];
    return true;
  }
  if (parts.size() != 2 && parts.size() != 3) {
    error = "expected FORM[.CONTROL].PROPERTY, found \"" + token.text + "\"";
    return false;
  }
  if (!ParseProperty(parts.back(), step.property)) {
    error = "unknown property \"" + parts.back() + "\" (caption, visible, enabled, value, bold)";
    return false;
  }
  step.form = parts[0];
  if (parts.size() == 3) {
    step.control = parts[1];
  } else if (step.property == Property::Value || step.property == Property::Bold) {
    error = "a form has no property \"" + parts.back() + "\"";
    return false;
  }
  return true;
}

bool ParseStep(const std::vector<Token>& tokens, Script::Step& step, std::string& error) {
  const std::string command = [&] {
    std::string lower = tokens[0].text;
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower;
  }();
  const std::size_t n = tokens.size();
  auto count = [&](bool ok, const char* usage) {
    if (!ok) error = std::string("usage: ") + usage;
    return ok;
  };
  if (tokens[0].kind != Token::Word) {
    error = "expected a command";
    return false;
  }
  if (command == "click") {
    step.command = Script::Command::Click;
    return count(n == 2, "click FORM.CONTROL") && ParseTarget(tokens[1], false, step, error);
  }
  if (command == "set") {
    step.command = Script::Command::Set;
    if (!count(n == 3 && tokens[2].kind != Token::Equals, "set FORM.CONTROL VALUE")) return false;
    step.value = tokens[2].text;
    return ParseTarget(tokens[1], false, step, error);
  }
  if (command == "wait") {
    step.command = Script::Command::Wait;
    if (!count(n == 2, "wait MS")) return false;
    if (!ParseMs(tokens[1], step.ms)) {
      error = "\"" + tokens[1].text + "\" is not a number of milliseconds";
      return false;
    }
    return true;
  }
  if (command == "until" || command == "expect") {
    const bool until = command == "until";
    step.command = until ? Script::Command::Until : Script::Command::Expect;
    const char* usage = until ? "until FORM[.CONTROL].PROPERTY = \"TEXT\" [within MS]"
                              : "expect FORM[.CONTROL].PROPERTY = \"TEXT\"";
    const bool shape = (n == 4 || (until && n == 6)) && tokens[2].kind == Token::Equals &&
                       tokens[3].kind != Token::Equals;
    if (!count(shape, usage)) return false;
    if (!ParseTarget(tokens[1], true, step, error)) return false;
    step.value = tokens[3].text;
    step.ms = Script::kDefaultWithinMs;
    if (n == 6) {
      if (tokens[4].kind != Token::Word || !SameName(tokens[4].text, "within")) {
        return count(false, usage);
      }
      if (!ParseMs(tokens[5], step.ms)) {
        error = "\"" + tokens[5].text + "\" is not a number of milliseconds";
        return false;
      }
    }
    return true;
  }
  if (command == "browse") {
    step.command = Script::Command::Browse;
    if (!count(n == 2, "browse \"PATH\" | browse cancel")) return false;
    if (tokens[1].kind == Token::Quoted) {
      step.value = tokens[1].text;
      return true;
    }
    step.cancel = tokens[1].kind == Token::Word && SameName(tokens[1].text, "cancel");
    return count(step.cancel, "browse \"PATH\" | browse cancel");
  }
  if (command == "shot") {
    step.command = Script::Command::Shot;
    if (!count(n == 2 && tokens[1].kind == Token::Quoted, "shot \"FILE\"")) return false;
    step.value = tokens[1].text;
    return true;
  }
  error = "unknown command \"" + tokens[0].text + "\"";
  return false;
}

Form* FindFormNamed(const Program& program, std::string_view name) {
  if (Form* form = program.FindForm(name)) return form;
  for (Form* form : program.forms()) {
    if (SameName(form->name(), name)) return form;
  }
  return nullptr;
}

Control* FindControlNamed(const Form& form, std::string_view name) {
  if (Control* control = form.Find(name)) return control;
  for (const auto& control : form.controls()) {
    if (SameName(control->name(), name)) return control.get();
  }
  return nullptr;
}

std::string Describe(const Control& control) {
  return control.form().name() + "." + control.name();
}

// Why a click or a set cannot reach |control|; empty when it can.
std::string Refusal(const Program& program, const Control& control) {
  const Form& form = control.form();
  if (!form.visible()) return form.name() + " is not shown";
  if (!form.enabled()) {
    const Form* modal = program.modalForm();
    return "input to " + form.name() + " is blocked by " + (modal ? modal->name() : "a dialog");
  }
  for (const Control* c = &control; c != nullptr; c = c->container()) {
    if (!c->visible()) return Describe(*c) + " is hidden";
  }
  for (const Control* c = &control; c != nullptr; c = c->container()) {
    if (!c->enabled()) return Describe(*c) + " is disabled";
  }
  return {};
}

}  // namespace

std::string NumberText(double value) {
  const float single = static_cast<float>(value);
  if (single == 0.0f) return "0";
  char text[32];
  std::snprintf(text, sizeof text, "%.7g", static_cast<double>(single));
  std::string result = text;
  std::replace(result.begin(), result.end(), 'e', 'E');
  return result;
}

std::string PropertyText(const Control& control, Property property) {
  switch (property) {
    case Property::Caption:
      return control.caption();
    case Property::Visible:
      return Bool(control.visible());
    case Property::Enabled:
      return Bool(control.enabled());
    case Property::Bold:
      return Bool(control.bold());
    case Property::Value:
      if (control.kind() == Kind::OptionButton) return Bool(control.value() != 0);
      return NumberText(control.value());
  }
  return {};
}

std::string PropertyText(const Form& form, Property property) {
  switch (property) {
    case Property::Caption:
      return form.caption();
    case Property::Visible:
      return Bool(form.visible());
    case Property::Enabled:
      return Bool(form.enabled());
    case Property::Value:
    case Property::Bold:
      break;
  }
  return {};
}

std::unique_ptr<Script> Script::Parse(std::string_view text, std::string* error) {
  auto script = std::make_unique<Script>();
  std::size_t pos = 0;
  for (int line = 1;; ++line) {
    const std::size_t newline = text.find('\n', pos);
    const std::string_view raw =
        text.substr(pos, newline == std::string_view::npos ? newline : newline - pos);
    std::vector<Token> tokens;
    Step step;
    std::string problem;
    bool ok = Tokenize(raw, tokens, step.text, problem);
    if (ok && !tokens.empty()) ok = ParseStep(tokens, step, problem);
    if (!ok) {
      if (error) {
        std::string shown(raw);
        if (!shown.empty() && shown.back() == '\r') shown.pop_back();
        *error = "script line " + std::to_string(line) + ": " + problem + ": " + shown;
      }
      return nullptr;
    }
    if (!tokens.empty()) {
      step.line = line;
      script->steps_.push_back(std::move(step));
    }
    if (newline == std::string_view::npos) break;
    pos = newline + 1;
  }
  return script;
}

void Script::Advance(std::int64_t now) {
  ++next_;
  started_ = true;
  stepStart_ = now;
}

void Script::Fail(Program& program, const Step& step, const std::string& found) {
  std::ostream& out = errors_ ? *errors_ : std::cerr;
  out << "script line " << step.line << ": " << step.text << "\n  found: " << found << std::endl;
  program.End(kExitScriptFailed);
}

bool Script::Holds(const Program& program, const Step& step, std::string* found) const {
  const Form* form = FindFormNamed(program, step.form);
  if (form == nullptr) {
    if (found) *found = "form " + step.form + " is not loaded";
    return false;
  }
  std::string actual;
  if (step.control.empty()) {
    actual = PropertyText(*form, step.property);
  } else {
    const Control* control = FindControlNamed(*form, step.control);
    if (control == nullptr) {
      if (found) *found = form->name() + " has no control " + step.control;
      return false;
    }
    actual = PropertyText(*control, step.property);
  }
  if (actual == step.value) return true;
  if (found) *found = "\"" + actual + "\"";
  return false;
}

Control* Script::ControlFor(Program& program, const Step& step) {
  Form* form = FindFormNamed(program, step.form);
  if (form == nullptr) Fail(program, step, "form " + step.form + " is not loaded");
  Control* control = FindControlNamed(*form, step.control);
  if (control == nullptr) Fail(program, step, form->name() + " has no control " + step.control);
  return control;
}

bool Script::Poll(Program& program) {
  if (finished() || program.ended()) return false;
  const std::int64_t now = program.host().NowMs();
  if (!started_) {
    started_ = true;
    stepStart_ = now;
  }
  // A copy: the step is marked done before its action runs, and the action may run nested
  // event loops that poll this script again.
  const Step step = steps_[next_];
  switch (step.command) {
    case Command::Wait:
      if (now - stepStart_ < step.ms) return false;
      Advance(now);
      return true;
    case Command::Until: {
      std::string found;
      if (Holds(program, step, &found)) {
        Advance(now);
        return true;
      }
      if (now - stepStart_ >= step.ms) {
        Fail(program, step, found + " after " + std::to_string(now - stepStart_) + " ms");
      }
      return false;
    }
    case Command::Expect: {
      Advance(now);
      std::string found;
      if (!Holds(program, step, &found)) Fail(program, step, found);
      return true;
    }
    case Command::Click: {
      Advance(now);
      Control* control = ControlFor(program, step);
      const std::string refusal = Refusal(program, *control);
      if (!refusal.empty()) Fail(program, step, "click refused: " + refusal);
      if (!control->UserClick()) Fail(program, step, "click refused: " + Describe(*control));
      return true;
    }
    case Command::Set: {
      Advance(now);
      Control* control = ControlFor(program, step);
      const std::string refusal = Refusal(program, *control);
      if (!refusal.empty()) Fail(program, step, "set refused: " + refusal);
      const std::string& v = step.value;
      switch (control->kind()) {
        case Kind::CheckBox:
          if (v != "0" && v != "1") Fail(program, step, "a check box takes 0 or 1");
          control->SetValue(v == "1" ? 1 : 0);
          break;
        case Kind::OptionButton:
          if (SameName(v, "True") || v == "1" || v == "-1") {
            control->SetValue(-1);
          } else if (SameName(v, "False") || v == "0") {
            control->SetValue(0);
          } else {
            Fail(program, step, "an option button takes True or False");
          }
          break;
        case Kind::TextBox:
          control->SetCaption(v);
          break;
        default:
          Fail(program, step, Describe(*control) + " takes no value from the user");
      }
      return true;
    }
    case Command::Browse:
      Advance(now);
      if (!browseAnswer_) Fail(program, step, "this program opens no folder dialog");
      browseAnswer_(step.cancel ? std::nullopt : std::optional<std::string>(step.value));
      return true;
    case Command::Shot:
      Advance(now);
      if (!program.host().Screenshot(step.value)) {
        Fail(program, step, "the screen could not be saved to \"" + step.value + "\"");
      }
      return true;
  }
  return false;
}

std::int64_t Script::NextDue(const Program& program) const {
  if (finished()) return kNever;
  const std::int64_t now = program.host().NowMs();
  if (!started_) return now;
  const Step& step = steps_[next_];
  switch (step.command) {
    case Command::Wait:
      return stepStart_ + step.ms;
    case Command::Until:
      return Holds(program, step, nullptr) ? now : stepStart_ + step.ms;
    default:
      return now;
  }
}

}  // namespace vu::toolkit
