// Whether a host folder holds a sandbox machine a program can work on, judged before anything
// opens it and without changing it: a program or vmachine refuses a broken machine with one line
// rather than running on defaults or an empty registry.
#pragma once

#include <string>

namespace vu::platform::sandbox {

// True when |dir| has a readable machine.ini whose [System] facts are all well formed, a
// registry.db that is a registry database, and a drives folder; with |forChanges|, also when the
// folder and registry.db may be written. Otherwise false with one line in |error| naming the
// file and the problem ("M/registry.db: the file is empty").
bool CheckMachineFolder(const std::string& dir, bool forChanges, std::string* error);

}  // namespace vu::platform::sandbox
