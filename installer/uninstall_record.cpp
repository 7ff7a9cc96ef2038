#include "installer/uninstall_record.h"

#include "common/install_record.h"
#include "common/registry_mod.h"
#include "installer/install_steps.h"
#include "installer/installer_app.h"

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
  using namespace common;
  const std::string key = kUninstallKey + settings.LongName;
  SetRegistryValue(app, key, kProgramfilePathValue, settings.ProgramfilePath);
  SetRegistryValue(app, key, kUninstallStringValue,
                   GetWindowsDir(app) + "\\" + kUninstallerFile + " -" + settings.LongName);
  SetRegistryValue(app, key, kDisplayNameValue, settings.LongName);
  SetRegistryValue(app, key, kShortNameValue, settings.ShortName);
  SetRegistryValue(app, key, kLongNameValue, settings.LongName);
  if (IsSet(settings.UseMenuIcon)) {
    SetRegistryValue(app, key, kStartmenuPathValue, settings.StartmenuPath);
  }
}

}  // namespace vu::installer
