// frmStart: the full-screen background behind the wizard, painted in blue bands by PaintGradient.
#pragma once

#include <cstdint>

#include "common/vb.h"
#include "toolkit/form.h"
#include "toolkit/program.h"

namespace vu::installer {

// Fills 63 bands of 1/74 of the form's height, from the bottom up (or the top down with
// |fromTop|), starting in (red, green, blue) and taking 4 off blue per band (never below 0).
// |blue| is left at the value after the last band.
void PaintGradient(toolkit::Form& form, std::int16_t red, std::int16_t green, std::int16_t& blue,
                   common::VbBool fromTop);

class FrmStart : public toolkit::Form {
 public:
  explicit FrmStart(toolkit::Program& program);
};

}  // namespace vu::installer
