// The product registration record: the key under the system's list of installed programs that the
// add/remove-programs list shows and the uninstaller reads.
#pragma once

#include <string>

namespace vu::installer {

class InstallerApp;

// Writes ProgramfilePath, UninstallString, DisplayName, ShortName, LongName and, with the menu,
// StartmenuPath, in that order, one SetRegistryValue each. Values of an earlier installation that
// this one does not write stay. Then the installation log (common/install_log.h) in its subkey,
// and the rest of the entry the list of installed programs shows (common/install_record.h).
void WriteUninstallRecord(InstallerApp& app);

}  // namespace vu::installer
