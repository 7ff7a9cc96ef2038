#include "installer/uninstall_record.h"

#include <algorithm>
#include <optional>

#include "common/install_log.h"
#include "common/install_record.h"
#include "common/paths.h"
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

// The log of this installation, after the folders an earlier one made that are still there: this
// one found them existing, yet they are still the product's to remove.
void WriteLog(InstallerApp& app, const std::string& key) {
  vu::platform::Registry& registry = app.machine().registry();
  vu::platform::FileSystem& files = app.machine().files();
  const common::InstallLog& placed = app.outcome().log;
  common::InstallLog log;
  if (const std::optional<common::InstallLog> earlier = common::ReadInstallLog(registry, key)) {
    for (const common::LogEntry& entry : *earlier) {
      if (entry.kind != common::LoggedKind::Folder || !common::PathExists(files, entry.path))
        continue;
      const bool known = std::any_of(placed.begin(), placed.end(), [&](const auto& now) {
        return common::SamePath(now.path, entry.path);
      });
      if (!known) log.push_back(entry);
    }
  }
  log.insert(log.end(), placed.begin(), placed.end());
  common::WriteInstallLog(registry, key, log);
}

// The rest of what the list of installed programs shows, after the log whose sizes it adds up.
void WriteListEntry(InstallerApp& app, const std::string& key) {
  using namespace common;
  const InstallerSettings& settings = app.settings();
  vu::platform::Registry& registry = app.machine().registry();
  std::uint64_t bytes = 0;
  for (const LogEntry& entry : app.outcome().log) {
    if (entry.kind == LoggedKind::File) bytes += entry.size;
  }
  const auto kilobytes = static_cast<std::int64_t>((bytes + 1023) / 1024);
  SetRegistryValue(app, key, kDisplayIconValue,
                   settings.ProgramfilePath + "\\" + settings.ProgramFile);
  SetRegistryValue(app, key, kDisplayVersionValue, kProductVersion);
  SetRegistryValue(app, key, kPublisherValue, kPublisher);
  SetRegistryValue(app, key, kInstallLocationValue, settings.ProgramfilePath);
  SetRegistryValueInstaller(registry, HKEY_LOCAL_MACHINE, key, kEstimatedSizeValue, REG_DWORD,
                            RegistryData(kilobytes));
  for (const char* flag : {kNoModifyValue, kNoRepairValue}) {
    SetRegistryValueInstaller(registry, HKEY_LOCAL_MACHINE, key, flag, REG_DWORD,
                              RegistryData(std::int64_t{1}));
  }
  SetRegistryValue(app, key, kQuietUninstallStringValue,
                   GetWindowsDir(app) + "\\" + kUninstallerFile + " /S -" + settings.LongName);
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
  WriteLog(app, key);
  WriteListEntry(app, key);
}

}  // namespace vu::installer
