// The ten selection pages of the custom path: what each page says and which flag it shows.
#pragma once

#include <array>
#include <string_view>

#include "optimizer/engine/state.h"

namespace vu::optimizer {

struct SelectionPage {
  std::string_view title;      // titleLabel: also how the wizard knows which page it is on
  std::string_view mainText;   // mainLabel
  std::string_view complaint;  // complainLabel
  std::string_view offer;      // removeLabel
  std::string_view checkText;  // checkLabel
  Step flag;
};

inline constexpr int kSelectionPageCount = 10;

// In the order Next walks them.
extern const std::array<SelectionPage, kSelectionPageCount> kSelectionPages;

// The index (0-based) of the page with this title, or -1 for a title of no page.
int SelectionPageIndex(std::string_view title);

}  // namespace vu::optimizer
