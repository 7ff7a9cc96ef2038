// Everything of a machine that a run of the programs could change, to compare before and after:
// the registry with keys and values compared as sets (the sandbox lists values in creation
// order, and a value put back is created anew, last), and every file and folder of the drives
// with attributes, size and bytes. The Optimizer's backups are left out.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/machine.h"

namespace vu::test_support {

struct MachineSnapshot {
  // Key name (upper case) -> value name (upper case) -> "type:data".
  std::map<std::string, std::map<std::string, std::string>> registry;
  // Windows path, as spelled on the disk -> "attributes size bytes".
  std::map<std::string, std::string> drive;
  bool operator==(const MachineSnapshot&) const = default;
};

// HKEY_LOCAL_MACHINE, HKEY_USERS and the files of |drives| ("C:", ...).
MachineSnapshot TakeSnapshot(vu::platform::Machine& machine,
                             const std::vector<std::string>& drives = {"C:"});

// What differs from |want| in |got|, a line each ("file gone: C:\...", "key added: ..."), at most
// |most| lines.
std::vector<std::string> SnapshotDiff(const MachineSnapshot& want, const MachineSnapshot& got,
                                      std::size_t most = 100);

// The same as one text, for a failure message.
std::string SnapshotDiffText(const MachineSnapshot& want, const MachineSnapshot& got);

}  // namespace vu::test_support
