#include "optimizer/app/scan_animation.h"

namespace vu::optimizer {

namespace {

constexpr std::string_view kDots[] = {"", ".", ". .", ". . ."};
constexpr int kDotStates = 4;

}  // namespace

std::string NextInDotCycle(std::string_view text, std::string_view base) {
  if (text.substr(0, base.size()) != base) return std::string(text);
  const std::string_view dots = text.substr(base.size());
  for (int i = 0; i < kDotStates; ++i) {
    if (dots == kDots[i]) return std::string(base) + std::string(kDots[(i + 1) % kDotStates]);
  }
  return std::string(text);
}

}  // namespace vu::optimizer
