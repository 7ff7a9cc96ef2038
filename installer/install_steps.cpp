#include "installer/install_steps.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "common/install_log.h"
#include "common/install_record.h"
#include "common/paths.h"
#include "installer/installer_app.h"
#include "platform/status.h"

namespace vu::installer {

namespace {

using common::kMenuGroup;
using common::QualifyPath;
using common::QuoteIfBlank;
using common::SamePath;
using vu::platform::FileSystem;
using vu::platform::Status;

std::string Join(std::string_view folder, std::string_view name) {
  return std::string(folder) + "\\" + std::string(name);
}

// What the run time's Dir finds without attribute flags: a file that is neither hidden, system
// nor a folder.
bool NormalFileExists(FileSystem& files, const std::string& path) {
  vu::platform::FindData entry;
  std::unique_ptr<vu::platform::Listing> listing;
  if (files.FindFirst(path, entry, listing) != ERROR_SUCCESS) return false;
  constexpr std::uint32_t kNotNormal =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  return (entry.attributes & kNotNormal) == 0;
}

bool FileExists(FileSystem& files, const std::string& path) {
  const std::uint32_t attributes = files.Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Makes |path| unless something of that name exists already (an existing folder stays as it is);
// a folder this installer made is logged, so that the uninstaller removes it and no other.
void MakeFolderIfMissing(FileSystem& files, const std::string& path, common::InstallLog& log) {
  if (path.empty()) return;
  if (files.Attributes(path) != INVALID_FILE_ATTRIBUTES) return;
  if (files.MakeDirectory(path) == ERROR_SUCCESS) {
    log.push_back(common::LoggedFolder(path));
  }
}

// Logs the file at |path| as it is now, when it can be read.
void LogFile(FileSystem& files, const std::string& path, common::InstallLog& log,
             common::LoggedKind kind = common::LoggedKind::File) {
  if (std::optional<common::LogEntry> entry = common::FingerprintFile(files, path, kind))
    log.push_back(std::move(*entry));
}

// The same content in both files: what decides that a source may go.
bool SameContent(FileSystem& files, const std::string& a, const std::string& b) {
  const std::optional<common::LogEntry> first = common::FingerprintFile(files, a);
  const std::optional<common::LogEntry> second = common::FingerprintFile(files, b);
  return first && second && first->size == second->size && first->hash == second->hash;
}

}  // namespace

std::string GetWindowsDir(InstallerApp& app) {
  return app.machine().system().WindowsDirectory();
}

std::string GetSystemDir(InstallerApp& app) {
  return app.machine().system().SystemDirectory();
}

void InstallSystemFiles(InstallerApp& app) {
  FileSystem& files = app.machine().files();
  const InstallerSettings& settings = app.settings();
  const std::string own = app.machine().system().ProgramFolder();
  const std::string systemDir = GetSystemDir(app);
  for (int i = 1; i <= settings.runtimeCount; ++i) {
    const std::string& name = settings.RuntimeFiles[static_cast<std::size_t>(i)];
    const std::string target = Join(systemDir, name);
    if (NormalFileExists(files, target)) continue;
    // Only a file that arrived is registered: the tool has nothing to work on otherwise.
    if (files.Copy(Join(own, name), target, false) != ERROR_SUCCESS) continue;
    app.outcome().runtimeCopied[static_cast<std::size_t>(i)] = true;
    LogFile(files, target, app.outcome().log, common::LoggedKind::SharedFile);
    app.machine().system().StartProgram(
        QuoteIfBlank(Join(systemDir, "regsvr32.exe")) + " /s " + QuoteIfBlank(target),
        SW_SHOWMINIMIZED);
  }
}

void InstallProgramFiles(InstallerApp& app) {
  FileSystem& files = app.machine().files();
  const InstallerSettings& settings = app.settings();
  const std::string own = app.machine().system().ProgramFolder();

  struct Placement {
    std::string source;
    std::string target;
    bool required;  // the installation is incomplete without it
    // The uninstaller in the Windows folder serves every product and stays: it is not logged.
    bool logged = true;
    bool sourcePresent = false;
    bool same = false;
    bool copied = false;
  };
  std::vector<Placement> placements = {
      {Join(own, settings.ProgramFile), Join(settings.ProgramfilePath, settings.ProgramFile), true},
      {Join(own, common::kUninstallerSourceFile),
       Join(GetWindowsDir(app), common::kUninstallerFile), true, false},
      {Join(own, common::kHelpFile), Join(settings.ProgramfilePath, common::kHelpFile), false},
      {Join(own, common::kHelpContentsFile),
       Join(settings.ProgramfilePath, common::kHelpContentsFile), false},
  };

  // An earlier installation's file goes only when its replacement is at hand, and never when the
  // installer runs from the place it installs to (the source would be the target).
  for (Placement& placement : placements) {
    placement.sourcePresent = FileExists(files, placement.source);
    placement.same = SamePath(placement.source, placement.target);
    if (placement.sourcePresent && !placement.same) files.Remove(placement.target);
  }

  // Level by level; position 3 (after "C:") is skipped so that the drive is never made.
  const std::string folder = QualifyPath(settings.ProgramfilePath);
  for (std::size_t i = 1; i <= folder.size(); ++i) {
    if (folder[i - 1] != '\\' || i == 3) continue;
    MakeFolderIfMissing(files, folder.substr(0, i - 1), app.outcome().log);
  }

  for (Placement& placement : placements) {
    if (placement.same) continue;
    placement.copied = files.Copy(placement.source, placement.target, false) == ERROR_SUCCESS;
    if (placement.copied && placement.logged) LogFile(files, placement.target, app.outcome().log);
  }

  app.outcome().missing.clear();
  for (const Placement& placement : placements) {
    if (!placement.required) continue;
    const bool placed = FileExists(files, placement.target) &&
                        (placement.copied || placement.same || !placement.sourcePresent);
    if (!placed) app.outcome().missing.push_back(placement.target);
  }
}

void CreateProgramMenu(InstallerApp& app) {
  FileSystem& files = app.machine().files();
  const InstallerSettings& settings = app.settings();
  common::InstallLog& log = app.outcome().log;
  const std::string& menu = settings.StartmenuPath;
  for (std::size_t i = 1; i <= menu.size(); ++i) {
    if (i == menu.size()) {
      MakeFolderIfMissing(files, menu, log);
    } else if (menu[i - 1] == '\\' && i != 3) {
      MakeFolderIfMissing(files, menu.substr(0, i - 1), log);
    }
  }
  // A shortcut to a program that is not there would only fail when clicked.
  const std::string program = Join(settings.ProgramfilePath, settings.ProgramFile);
  for (const std::string& missing : app.outcome().missing) {
    if (SamePath(missing, program)) return;
  }
  std::string programs;
  const bool known =
      app.machine().shell().SpecialFolderPath(CSIDL_PROGRAMS, programs) == ERROR_SUCCESS;
  const std::string group = QualifyPath(programs) + kMenuGroup;
  const bool groupExisted = known && common::PathExists(files, group);
  MakeMenuShortcut(app, program, kMenuGroup, "", settings.ShortName);
  if (!known) return;
  if (!groupExisted && common::PathExists(files, group)) {
    log.push_back(common::LoggedFolder(group));
  }
  LogFile(files, group + "\\" + std::string(common::Trim(settings.ShortName)) + ".lnk", log);
}

void MakeMenuShortcut(InstallerApp& app, std::string_view target, std::string_view group,
                      std::string_view arguments, std::string_view linkName) {
  app.machine().shell().CreateMenuShortcut(group, common::Trim(linkName), common::Trim(target),
                                           arguments);
}

void RemoveSourceFiles(InstallerApp& app) {
  FileSystem& files = app.machine().files();
  const InstallerSettings& settings = app.settings();
  const std::string own = app.machine().system().ProgramFolder();

  std::vector<std::pair<std::string, std::string>> sources = {
      {settings.ProgramFile, Join(settings.ProgramfilePath, settings.ProgramFile)},
      {common::kUninstallerSourceFile, Join(GetWindowsDir(app), common::kUninstallerFile)},
  };
  const std::string systemDir = GetSystemDir(app);
  for (int i = 1; i <= settings.runtimeCount; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    if (!app.outcome().runtimeCopied[slot]) continue;
    sources.emplace_back(settings.RuntimeFiles[slot], Join(systemDir, settings.RuntimeFiles[slot]));
  }

  const std::vector<std::string>& missing = app.outcome().missing;
  for (const auto& [name, target] : sources) {
    const std::string source = Join(own, name);
    if (SamePath(source, target)) continue;
    // What this installation could not place keeps its source for another try, even when an
    // earlier copy of the same content lies there (a copy still running cannot be replaced).
    const auto notPlaced = [&](const std::string& path) { return SamePath(path, target); };
    if (std::any_of(missing.begin(), missing.end(), notPlaced)) continue;
    if (!FileExists(files, target) || !SameContent(files, source, target)) continue;
    files.Remove(source);
  }
}

}  // namespace vu::installer
