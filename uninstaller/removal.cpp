#include "uninstaller/removal.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/install_log.h"
#include "common/install_record.h"
#include "common/paths.h"
#include "common/registry_mod.h"
#include "platform/status.h"
#include "platform/text.h"
#include "toolkit/timer_wait.h"
#include "uninstaller/frm_start.h"
#include "uninstaller/protected_folders.h"
#include "uninstaller/uninstall_app.h"

namespace vu::uninstaller {

using common::GetParentFolder;
using common::IsDriveRoot;
using common::IsFolderEmpty;
using common::kMenuGroup;
using common::QualifyPath;

namespace {

// The files the installer and the help viewer put beside the program: the program, its help
// file and contents, and the viewer's index and full-text search files.
constexpr const char* kProductExtensions[] = {".gid", ".exe", ".hlp", ".cnt", ".fts", ".ftg"};

bool Missing(std::string_view value) {
  return value.empty() || value == common::kRegistryNotFound;
}

// A short name only names files when it is a plain file name: nothing outside the program
// directory may ever be reached through it.
bool IsPlainName(std::string_view name) {
  if (Missing(name) || name == "." || name == "..") return false;
  return name.find_first_of("\\/:*?\"<>|") == std::string_view::npos;
}

bool Exists(UninstallApp& app, std::string_view path) {
  return common::PathExists(app.machine().files(), path);
}

// The stage's label goes plain and its tick appears.
void Done(toolkit::Control& label, toolkit::Control& tick) {
  label.SetBold(false);
  tick.SetVisible(true);
}

// The next stage's label goes bold and the bar starts again.
void Begin(FrmStart& form, toolkit::Control& label) {
  label.SetBold(true);
  form.progressBar.SetValue(0);
}

// A text shown in a label: "&" marks an access key there, so a path's own "&" is doubled.
std::string LabelText(std::string_view text) {
  std::string shown;
  for (char c : text) {
    shown += c;
    if (c == '&') shown += '&';
  }
  return shown;
}

// Whether a delete failed because the file is in use: Windows answers a sharing violation, or
// "access denied" for a running program, which is no read-only file.
bool InUse(platform::FileSystem& files, const std::string& path, platform::Status status) {
  if (status == ERROR_SHARING_VIOLATION) return true;
  if (status != ERROR_ACCESS_DENIED) return false;
  const std::uint32_t attributes = files.Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// Deletes a file of the product; one in use is deleted when Windows next starts instead. False
// when it stays for good.
bool RemoveOrSchedule(UninstallApp& app, const std::string& path) {
  platform::FileSystem& files = app.machine().files();
  const platform::Status status = files.Remove(path);
  if (status == ERROR_SUCCESS) return true;
  if (!InUse(files, path, status) || files.RemoveAtRestart(path) != ERROR_SUCCESS) return false;
  app.scheduled().push_back(path);
  return true;
}

// Deletes a logged file that is still as placed, read-only or not. False when it stays.
bool RemoveAsLogged(UninstallApp& app, const std::string& path) {
  platform::FileSystem& files = app.machine().files();
  const std::uint32_t attributes = files.Attributes(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    files.SetAttributes(path, attributes & ~FILE_ATTRIBUTE_READONLY);
  return RemoveOrSchedule(app, path);
}

// Whether everything in |folder| goes when Windows next starts (and it holds something).
bool HoldsOnlyScheduled(UninstallApp& app, const std::string& folder) {
  platform::FindData entry;
  std::unique_ptr<platform::Listing> listing;
  if (app.machine().files().FindFirst(QualifyPath(folder) + "*.*", entry, listing) !=
      ERROR_SUCCESS) {
    return false;
  }
  bool any = false;
  do {
    if (entry.name == "." || entry.name == "..") continue;
    if (!app.IsScheduled(QualifyPath(folder) + entry.name)) return false;
    any = true;
  } while (listing->Next(entry));
  return any;
}

// Removes a folder the product made once it is empty; one that holds only files deleted at the
// next start of Windows is deleted then too, after them.
void RemoveMadeFolder(UninstallApp& app, const std::string& folder) {
  platform::FileSystem& files = app.machine().files();
  if (app.IsScheduled(folder)) return;  // by the stage before
  if (common::IsSet(IsFolderEmpty(files, folder))) {
    files.RemoveDirectory(folder);
  } else if (HoldsOnlyScheduled(app, folder) && files.RemoveAtRestart(folder) == ERROR_SUCCESS) {
    app.scheduled().push_back(folder);
  }
}

// Paths as a label shows them, separated by commas.
std::string ListText(const std::vector<std::string>& paths) {
  std::string text;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (i > 0) text += ", ";
    text += LabelText(paths[i]);
  }
  return text;
}

// The help viewer's own files beside a help file it opened: its index and full-text search.
std::vector<std::string> HelpViewerFiles(const std::string& helpFile) {
  const std::size_t dot = helpFile.rfind('.');
  if (dot == std::string::npos || !platform::EqualsNoCase(helpFile.substr(dot), ".hlp")) return {};
  const std::string stem = helpFile.substr(0, dot);
  return {stem + ".gid", stem + ".fts", stem + ".ftg"};
}

// Removes what the log lists: the shortcuts when |shortcuts|, else the other files; then every
// logged folder left empty, the deepest first. A file changed since it was placed stays, and so
// does anything protected. Returns what it meant to remove.
std::vector<std::string> RemoveLogged(UninstallApp& app, const common::InstallLog& log,
                                      bool shortcuts) {
  platform::FileSystem& files = app.machine().files();
  const ProtectedFolders protectedFolders(app.machine());
  std::vector<std::string> targets;
  for (const common::LogEntry& entry : log) {
    if (entry.kind != common::LoggedKind::File) continue;
    const bool isShortcut =
        entry.path.size() > 4 &&
        platform::EqualsNoCase(entry.path.substr(entry.path.size() - 4), ".lnk");
    if (isShortcut != shortcuts) continue;
    if (common::IsAsLogged(files, entry)) RemoveAsLogged(app, entry.path);
    targets.push_back(entry.path);
    for (std::string& extra : HelpViewerFiles(entry.path)) {
      if (!Exists(app, extra)) continue;
      RemoveOrSchedule(app, extra);
      targets.push_back(std::move(extra));
    }
  }
  for (auto it = log.rbegin(); it != log.rend(); ++it) {
    if (it->kind != common::LoggedKind::Folder || protectedFolders.IsProtected(it->path)) continue;
    RemoveMadeFolder(app, it->path);
    // The program folder is named when it stays; the menu group only with its shortcut's stage.
    if (!shortcuts) targets.push_back(it->path);
  }
  return targets;
}

}  // namespace

int ProgressPauseMs(float r) {
  const float ms = std::fabs(r * 100.0f - 50.0f) + 1.0f;
  const float whole = std::floor(ms);
  const float fraction = ms - whole;
  auto rounded = static_cast<int>(whole);
  if (fraction > 0.5f || (fraction == 0.5f && rounded % 2 != 0)) ++rounded;
  return rounded;
}

void Pause(UninstallApp& app, int ms) {
  toolkit::WaitForTimer(app.program(), app.start().pauseTimer, ms);
}

void ProgressFill(UninstallApp& app) {
  toolkit::Control& bar = app.start().progressBar;
  while (bar.value() < 100) {
    // Capped at 100 so that a bar left at an odd value still ends full instead of sticking.
    bar.SetValue(std::min(bar.value() + 4, 100.0));
    Pause(app, ProgressPauseMs(app.program().Rnd()));
    app.program().DoEvents();
  }
}

void RunUninstall(UninstallApp& app) {
  FrmStart& form = app.start();
  std::vector<std::string> targets;

  ProgressFill(app);
  targets = RemoveProgramFiles(app);
  Done(form.programLabel, form.programPic);

  // Shared run-time files stay: other programs may use them.
  Begin(form, form.sharedLabel);
  ProgressFill(app);
  Pause(app, 200);
  Done(form.sharedLabel, form.sharedPic);

  // The menu removal reads the record, so the record goes last.
  Begin(form, form.registryLabel);
  ProgressFill(app);
  const std::vector<std::string> shortcuts = RemoveMenuEntries(app);
  targets.insert(targets.end(), shortcuts.begin(), shortcuts.end());
  Done(form.registryLabel, form.registryPic);

  Begin(form, form.startLabel);
  ProgressFill(app);
  form.startPic.SetVisible(true);
  form.startLabel.SetBold(false);
  DeleteUninstallRecord(app);
  Pause(app, 500);

  form.progressBar.SetVisible(false);
  form.completedLabel.SetCaption(CompletionText(LeftOver(app, targets), app.scheduled()));
  form.completedLabel.SetVisible(true);
  form.closeButton.SetEnabled(true);
  form.closeButton.SetFocus();
}

std::vector<std::string> RemoveProgramFiles(UninstallApp& app) {
  if (const std::optional<common::InstallLog> log = app.InstallLog()) {
    return RemoveLogged(app, *log, false);
  }
  std::vector<std::string> targets;
  const std::string dir = app.RecordValue(common::kProgramfilePathValue);
  if (Missing(dir)) return targets;
  platform::FileSystem& files = app.machine().files();
  const ProtectedFolders protectedFolders(app.machine());

  // Only what the product put there: anything else keeps the folder, and that is intended.
  const std::string shortName = app.GetShortName();
  if (IsPlainName(shortName)) {
    for (const char* extension : kProductExtensions) {
      std::string path = QualifyPath(dir) + shortName + extension;
      // A record alone never names a file of the Windows or system folder to delete; one that
      // is there is named as left, so that the user sees what the record pointed at.
      if (!protectedFolders.IsInSystemFolder(path)) RemoveOrSchedule(app, path);
      targets.push_back(std::move(path));
    }
  }
  if (protectedFolders.IsProtected(dir)) return targets;
  files.RemoveDirectory(dir);
  if (HoldsOnlyScheduled(app, dir) && files.RemoveAtRestart(dir) == ERROR_SUCCESS)
    app.scheduled().push_back(dir);
  targets.push_back(dir);

  const std::string parent = GetParentFolder(dir);
  if (parent != dir && !protectedFolders.IsProtected(parent)) {
    if (common::IsSet(IsFolderEmpty(files, parent))) {
      files.RemoveDirectory(parent);
    } else if (HoldsOnlyScheduled(app, parent) && files.RemoveAtRestart(parent) == ERROR_SUCCESS) {
      app.scheduled().push_back(parent);
    }
  }
  return targets;
}

std::vector<std::string> RemoveMenuEntries(UninstallApp& app) {
  if (const std::optional<common::InstallLog> log = app.InstallLog()) {
    return RemoveLogged(app, *log, true);
  }
  std::vector<std::string> targets;
  const std::string menu = app.RecordValue(common::kStartmenuPathValue);
  const std::string shortName = app.GetShortName();
  platform::FileSystem& files = app.machine().files();
  const ProtectedFolders protectedFolders(app.machine());

  if (IsPlainName(shortName)) {
    const std::string links[] = {shortName, "Uninstall " + shortName};
    std::string programs;
    const bool known =
        app.machine().shell().SpecialFolderPath(CSIDL_PROGRAMS, programs) == ERROR_SUCCESS;
    for (const std::string& link : links) {
      RemoveMenuShortcut(app, kMenuGroup, link);
      if (known) {
        targets.push_back(QualifyPath(programs) + kMenuGroup + "\\" +
                          std::string(common::Trim(link)) + ".lnk");
      }
    }
    if (!Missing(menu)) {
      for (const std::string& link : links) {
        std::string path = QualifyPath(menu) + link + ".lnk";
        if (!protectedFolders.IsInSystemFolder(path)) files.Remove(path);
        targets.push_back(std::move(path));
      }
    }
  }
  if (!Missing(menu) && !protectedFolders.IsProtected(menu) &&
      common::IsSet(IsFolderEmpty(files, menu))) {
    files.RemoveDirectory(menu);
  }
  return targets;
}

void RemoveMenuShortcut(UninstallApp& app, std::string_view group, std::string_view linkName) {
  app.machine().shell().RemoveMenuShortcut(group, common::Trim(linkName));
}

void DeleteUninstallRecord(UninstallApp& app) {
  if (const std::optional<common::InstallLog> log = app.InstallLog()) {
    // A file still as it was placed is the product's, and the record is the way to try again;
    // one changed since belongs to whoever changed it.
    platform::FileSystem& files = app.machine().files();
    for (const common::LogEntry& entry : *log) {
      if (entry.kind == common::LoggedKind::File && !app.IsScheduled(entry.path) &&
          common::IsAsLogged(files, entry)) {
        return;
      }
    }
  } else {
    const std::string dir = app.RecordValue(common::kProgramfilePathValue);
    if (!Missing(dir)) {
      const std::string shortName = app.GetShortName();
      // Without a usable short name the program file is unknown; the directory stands for it.
      const std::string program =
          IsPlainName(shortName) ? QualifyPath(dir) + shortName + ".exe" : dir;
      if (!IsDriveRoot(program) && !app.IsScheduled(program) && Exists(app, program)) return;
    }
  }
  common::DeleteRegistryKey(app.machine().registry(), HKEY_LOCAL_MACHINE, app.RecordKey());
}

std::vector<std::string> LeftOver(UninstallApp& app, const std::vector<std::string>& targets) {
  std::vector<std::string> left;
  for (const std::string& path : targets) {
    // The recorded menu folder is usually the group itself: one shortcut, named once.
    const bool named = std::any_of(left.begin(), left.end(), [&](const std::string& other) {
      return platform::EqualsNoCase(other, path);
    });
    // What goes at the next start of Windows is named apart.
    if (!named && !app.IsScheduled(path) && Exists(app, path)) left.push_back(path);
  }
  return left;
}

std::string CompletionText(const std::vector<std::string>& left,
                           const std::vector<std::string>& scheduled) {
  std::string text;
  if (left.empty()) {
    text = kCompletedText;
  } else {
    text = "Uninstallation incomplete. Not removed: " + ListText(left) + ". Click '&Close' to end.";
  }
  // The folders that held them go with the files; naming the files is enough.
  std::vector<std::string> files;
  for (const std::string& path : scheduled) {
    if (!std::any_of(scheduled.begin(), scheduled.end(), [&path](const std::string& other) {
          return platform::EqualsNoCase(GetParentFolder(other), path);
        })) {
      files.push_back(path);
    }
  }
  if (!files.empty()) text += " " + std::string(kRestartText) + ListText(files) + ".";
  return text;
}

}  // namespace vu::uninstaller
