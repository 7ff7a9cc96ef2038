// The machine as an automated program sees it: every call passes on to the real machine, but the
// folder-browse dialog takes the answers an automation script queued, in order, before it would
// show itself. Dialog answers are the automation's business, not the OS seam's.
#pragma once

#include <deque>
#include <optional>
#include <string>

#include "platform/machine.h"

namespace vu::toolkit {

// A shell whose folder dialog is answered from a queue while it holds answers.
class AnsweredShell final : public platform::Shell {
 public:
  explicit AnsweredShell(platform::Shell& shell) : shell_(shell) {}

  // The answer to the next folder dialog: a path, or nullopt for "cancel".
  void QueueBrowseAnswer(std::optional<std::string> answer) {
    answers_.push_back(std::move(answer));
  }

  platform::Status ShortcutTarget(std::string_view linkPath, std::string& target) override {
    return shell_.ShortcutTarget(linkPath, target);
  }
  platform::Status CreateMenuShortcut(std::string_view group, std::string_view linkName,
                                      std::string_view target,
                                      std::string_view arguments) override {
    return shell_.CreateMenuShortcut(group, linkName, target, arguments);
  }
  platform::Status RemoveMenuShortcut(std::string_view group, std::string_view linkName) override {
    return shell_.RemoveMenuShortcut(group, linkName);
  }
  platform::Status SpecialFolderPath(int csidl, std::string& path) override {
    return shell_.SpecialFolderPath(csidl, path);
  }
  std::string BrowseForFolder(std::uintptr_t owner, std::string_view title, std::uint32_t flags,
                              int root) override;

 private:
  platform::Shell& shell_;
  std::deque<std::optional<std::string>> answers_;
};

class ScriptedMachine final : public platform::Machine {
 public:
  explicit ScriptedMachine(platform::Machine& machine)
      : machine_(machine), shell_(machine.shell()) {}

  platform::Registry& registry() override { return machine_.registry(); }
  platform::FileSystem& files() override { return machine_.files(); }
  platform::Shell& shell() override { return shell_; }
  platform::System& system() override { return machine_.system(); }

  void QueueBrowseAnswer(std::optional<std::string> answer) {
    shell_.QueueBrowseAnswer(std::move(answer));
  }

 private:
  platform::Machine& machine_;
  AnsweredShell shell_;
};

}  // namespace vu::toolkit
