#include "toolkit/scripted_machine.h"

namespace vu::toolkit {

std::string AnsweredShell::BrowseForFolder(std::uintptr_t owner, std::string_view title,
                                           std::uint32_t flags, int root) {
  if (answers_.empty()) return shell_.BrowseForFolder(owner, title, flags, root);
  std::optional<std::string> answer = std::move(answers_.front());
  answers_.pop_front();
  return answer.value_or(std::string());
}

}  // namespace vu::toolkit
