#include "installer/frm_start.h"

#include <algorithm>
#include <cmath>

namespace vu::installer {

namespace {

// The run time's conversion to a 16-bit integer (half to even); out-of-range values are clamped
// where the run time would raise an overflow that the error trap skips.
std::int16_t ToInteger(double value) {
  const double rounded = std::nearbyint(value);
  return static_cast<std::int16_t>(std::clamp(rounded, -32768.0, 32767.0));
}

}  // namespace

void PaintGradient(toolkit::Form& form, std::int16_t red, std::int16_t green, std::int16_t& blue,
                   common::VbBool fromTop) {
  const int height = form.clientHeight();
  const int band = ToInteger(height / 74.0);
  const int width = ToInteger(form.clientWidth());
  int y0 = common::IsSet(fromTop) ? 0 : height - band;
  int y1 = y0 + band;
  for (int i = 0; i < 63; ++i) {
    form.Fill(toolkit::FillRect{0, y0, width, y1, toolkit::Rgb(red, green, blue)});
    blue = static_cast<std::int16_t>(blue - 4);
    if (blue <= 0) blue = 0;
    y0 = common::IsSet(fromTop) ? y1 : y0 - band;
    y1 = y0 + band;
  }
}

FrmStart::FrmStart(toolkit::Program& program)
    : Form(program, "frmStart",
           toolkit::FormDesign{.caption = "Setup",
                               .border = toolkit::BorderStyle::None,
                               .centred = false,
                               .maximized = true,
                               .showIcon = false,
                               .icon = "install",
                               .backColor = toolkit::Rgb(0, 0, 0)}) {
  onPaint = [](toolkit::Form& form) {
    std::int16_t blue = 255;
    PaintGradient(form, 0, 0, blue, common::kFalse);
  };
}

}  // namespace vu::installer
