#include "installer/uninstall_record.h"

#include "common/registry_mod.h"
#include "installer/mod_files.h"
#include "installer/mod_main.h"

namespace vu::installer {

namespace {

// The installer's SetRegistryValue: every text value is written as REG_SZ.
void SetRegistryValue(InstallerApp& app, const std::string& key, const char* name,
                      const std::string& text) {
  common::SetRegistryValueInstaller(app.machine().registry(), HKEY_LOCAL_MACHINE, key, name, REG_SZ,
                                    common::RegistryData(text));
}

}  // namespace

void WriteUninstallRecord(InstallerApp& app) {
  const InstallerSettings& settings = app.settings();
  const std::string key = kUninstallKeyBase + settings.LongName;
  SetRegistryValue(app, key, "ProgramfilePath", settings.ProgramfilePath);
  SetRegistryValue(app, key, "UninstallString",
                   GetWindowsDir(app) + "\\VLUN32.exe -" + settings.LongName);
  SetRegistryValue(app, key, "DisplayName", settings.LongName);
  SetRegistryValue(app, key, "ShortName", settings.ShortName);
  SetRegistryValue(app, key, "LongName", settings.LongName);
  if (common::IsSet(settings.UseMenuIcon)) {
    SetRegistryValue(app, key, "StartmenuPath", settings.StartmenuPath);
  }
}

}  // namespace vu::installer
