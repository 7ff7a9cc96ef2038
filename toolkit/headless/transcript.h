// What a user would see change, one line each, stamped with the host clock: forms and dialogs
// opening and closing, captions, labels appearing and turning bold, ticks appearing, check box
// values, buttons enabled or disabled, panels brought to the front, the progress bar at every
// tenth of its range. A page of lines with pictures beside them (a results page) is read out
// line by line when it comes to the front: each text with the picture beside it (or "none")
// and whether it is greyed.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <unordered_map>

#include "toolkit/control.h"

namespace vu::toolkit {

class Form;

class Transcript {
 public:
  Transcript(std::ostream& out, std::function<std::int64_t()> clock);
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  void FormShown(const Form& form);
  void FormHidden(const Form& form);
  void FormCaptionChanged(const Form& form);
  void ControlChanged(const Control& control, Prop prop);

  // Whether a user can see |control|: its form is shown, it and its containers are visible,
  // and no container panel lies behind an overlapping visible sibling panel.
  static bool Seen(const Control& control);
  // "[mm:ss.mmm] " for a time in milliseconds.
  static std::string Stamp(std::int64_t ms);

 private:
  void Write(const std::string& text);
  void ReadOut(const Control& panel);

  std::ostream& out_;
  std::function<std::int64_t()> clock_;
  std::unordered_map<const Control*, int> tenths_;  // last tenth reported per progress bar
};

}  // namespace vu::toolkit
