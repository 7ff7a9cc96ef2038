// Cleaners of the system's bookkeeping of installed software: shared-DLL reference entries of
// DLLs that are gone, and entries of the list of installed programs whose uninstall command
// points at files that are gone.
#pragma once

#include <string>
#include <string_view>

#include "common/install_record.h"
#include "common/vb.h"
#include "optimizer/engine/engine.h"
#include "optimizer/engine/found_list.h"
#include "optimizer/engine/missing_file.h"
#include "platform/machine.h"

namespace vu::optimizer {

inline constexpr std::string_view kSharedDllsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
using common::kUninstallKey;

// Names of SharedDLLs values / key paths (relative to HKEY_LOCAL_MACHINE, ending in "\").
using OrphanList = FoundList<std::string>;
using StaleEntryList = FoundList<std::string>;

// Collects, then deletes, the SharedDLLs values whose name IsMissingFile. True when every
// deletion took effect, nothing found was left over for lack of room in the list, and every
// value could be read and judged.
bool RemoveOrphanedDlls(Engine& engine);
// Returns the count, finds beyond the 1000th included.
int FindOrphanedDlls(Engine& engine, OrphanList& list);

// Collects, then deletes with everything below them, the uninstall entries judged stale.
// True as for RemoveOrphanedDlls.
bool RemoveStaleUninstallEntries(Engine& engine);
// Appends the stale entries below |keyPath| (the key itself, the list's own key, is never one):
// a key is stale when a string value whose name ends in "UNINSTALLSTRING", coming after its
// "DISPLAYNAME" value, holds a stale command. Each key is listed once. Yields once per key.
int FindStaleUninstallEntries(Engine& engine, vu::platform::RootKey root,
                              const std::string& keyPath, StaleEntryList& list);

// True (-1) when an uninstall command begins with a program path on the system drive that is
// gone, or whose program exists but a second path on the system drive written later in the
// command (up to the next double quote) is gone.
common::VbBool IsStaleUninstallCommand(vu::platform::Machine& machine, std::string_view text);
// The same as a verdict: Missing for a stale command, Unknown when a check could not be made.
PathState JudgeUninstallCommand(vu::platform::Machine& machine, std::string_view text);

}  // namespace vu::optimizer
