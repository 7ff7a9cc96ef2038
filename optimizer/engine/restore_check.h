// What a restore must leave behind, worked out from the records it undid, and the comparison of
// that with the machine: --restore says everything was restored only when what it reads back
// matches. The records are given in the order they were undone (newest change first), so a path
// or key changed several times by the run ends as its oldest record says.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/regedit4.h"
#include "optimizer/engine/backup_journal.h"
#include "platform/machine.h"

namespace vu::optimizer {

struct RestoreReport;

class RestoreExpectation {
 public:
  void Undid(const FileRecord& record);
  void Undid(const std::vector<common::RegFileEdit>& edits);

  // Reads every path and key named by the records back from |machine| and adds a line per item
  // to |report|: restored, or not and why. The copies of removed files are in |folder|.
  void Compare(vu::platform::Machine& machine, std::string_view folder,
               RestoreReport& report) const;

 private:
  struct Entry {
    std::string section, key;
    std::optional<std::string> value;
  };
  struct PathState {
    std::string path;
    std::optional<bool> exists;
    bool folder = false;
    std::optional<std::uint32_t> attributes;
    std::string copy;                                              // bytes it must hold
    std::map<std::pair<std::string, std::string>, Entry> entries;  // by upper-cased names
    std::map<std::string, std::string> sectionsAbsent;             // upper-cased -> as written
  };
  struct Value {
    std::string name;
    std::optional<std::pair<std::uint32_t, std::string>> data;  // none: must be absent
  };
  struct KeyState {
    vu::platform::RootKey root = 0;
    std::string path;
    std::optional<bool> exists;
    std::map<std::string, Value> values;  // by upper-cased name
  };

  std::string CheckPath(vu::platform::FileSystem& files, std::string_view folder,
                        const PathState& state) const;
  std::string CheckKey(vu::platform::Registry& registry, const KeyState& state) const;

  std::map<std::string, PathState> paths_;  // by upper-cased path
  std::map<std::string, KeyState> keys_;    // by upper-cased key name
};

}  // namespace vu::optimizer
