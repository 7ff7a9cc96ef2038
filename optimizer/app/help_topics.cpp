#include "optimizer/app/help_topics.h"

#include "optimizer/app/selection_pages.h"

namespace vu::optimizer {

std::uint32_t WizardHelpContext(std::string_view caption, std::string_view title, bool running) {
  if (caption == "Finished Optimizing") return kHelpResults;
  if (running) return kHelpRunning;
  if (caption == "Custom Settings") {
    const int index = SelectionPageIndex(title);
    if (index >= 0) return kHelpFirstPage + static_cast<std::uint32_t>(index);
  }
  return kHelpModes;
}

}  // namespace vu::optimizer
