// A machine with a problem of every kind the Optimizer removes, and a snapshot of everything a
// run could change, for the backup and restore tests.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/regedit4.h"
#include "optimizer/app/launch.h"
#include "optimizer/app/operations_table.h"
#include "optimizer/engine/backup_log.h"
#include "optimizer/engine/restore.h"
#include "platform/sandbox/shell_link.h"
#include "platform/text.h"
#include "tests/optimizer/harness.h"

namespace vu::optimizer::backup_testing {

using testing::OptimizerWorld;
using vu::platform::FileSystem;
using vu::platform::FindData;
using vu::platform::sandbox::Op;

inline constexpr std::string_view kBackups = "C:\\MY DOCUMENTS\\VELLORIA OPTIMIZER BACKUPS";
inline constexpr std::string_view kLabelText = "A backup of all changes was saved in ";

inline constexpr std::string_view kPlantedRegistry =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs]\r\n"
    "\"C:\\\\WINDOWS\\\\SYSTEM\\\\KEPT.DLL\"=dword:00000002\r\n"
    "\"C:\\\\WINDOWS\\\\SYSTEM\\\\GONE.DLL\"=dword:00000001\r\n"
    "\"C:\\\\WINDOWS\\\\SYSTEM\\\\ALSO.DLL\"=dword:00000003\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OldApp]\r\n"
    "\"DisplayName\"=\"Old App\"\r\n"
    "\"UninstallString\"=\"C:\\\\WINDOWS\\\\UNINST.EXE -f C:\\\\OLDAPP\\\\DeIsL1.isu\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OldApp\\Parts]"
    "\r\n\"Bytes\"=hex:01,02,00,ff\r\n\"Count\"=dword:0000002a\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Vendor\\Tool]\r\n"
    "\"Path\"=\"C:\\\\GONE\\\\TOOL.EXE\"\r\n"
    "\"Home\"=\"C:\\\\WINDOWS\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Control Panel\\desktop]\r\n"
    "\"Wallpaper\"=\"(None)\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000]\r\n"
    "\"DriverDesc\"=\"TCP/IP\"\r\n"
    "\"MaxMTU\"=\"1500\"\r\n\r\n";

// Everything of a machine a run could change: the registry, keys and values compared as sets
// (the sandbox lists values in creation order, and a restored value is created anew), and every
// file and folder of drive C with size, attributes and bytes, the backups themselves excepted.
struct Snapshot {
  std::map<std::string, std::map<std::string, std::string>> registry;
  std::map<std::string, std::string> drive;
  bool operator==(const Snapshot&) const = default;
};

inline void AddRegistry(vu::platform::Registry& registry, vu::platform::RootKey root,
                        Snapshot& shot) {
  std::string text;
  ASSERT_EQ(common::ExportRegFile(registry, {{root, ""}}, text), ERROR_SUCCESS);
  std::vector<common::RegFileEdit> edits;
  common::RegFileProblem problem;
  ASSERT_TRUE(common::ParseRegFile(text, edits, problem)) << problem.message;
  for (const common::RegFileEdit& e : edits) {
    auto& key = shot.registry[vu::platform::UpperCase(common::RegKeyName(e.root, e.path))];
    if (e.kind == common::RegFileEdit::Kind::kSetValue)
      key[vu::platform::UpperCase(e.name)] = std::to_string(e.type) + ":" + e.data;
  }
}

inline void AddFolder(FileSystem& files, const std::string& folder, Snapshot& shot) {
  FindData entry;
  std::unique_ptr<vu::platform::Listing> listing;
  if (files.FindFirst(folder + "\\*", entry, listing) != ERROR_SUCCESS) return;
  std::vector<FindData> entries;
  do {
    if (entry.name != "." && entry.name != "..") entries.push_back(entry);
  } while (listing->Next(entry));
  listing.reset();
  for (const FindData& e : entries) {
    const std::string path = folder + "\\" + e.name;
    if (vu::platform::EqualsNoCase(path, kBackups)) continue;
    std::string line = std::to_string(e.attributes) + " " + std::to_string(e.size);
    if (e.attributes & FILE_ATTRIBUTE_DIRECTORY) {
      AddFolder(files, path, shot);
    } else {
      std::string bytes;
      files.ReadAll(path, bytes);
      line += " " + bytes;
    }
    shot.drive[path] = line;  // the spelling counts too
  }
}

inline Snapshot Take(vu::platform::Machine& machine) {
  Snapshot shot;
  AddRegistry(machine.registry(), HKEY_LOCAL_MACHINE, shot);
  AddRegistry(machine.registry(), HKEY_USERS, shot);
  AddFolder(machine.files(), "C:", shot);
  return shot;
}

// The differences, for a failure message.
inline std::string Diff(const Snapshot& a, const Snapshot& b) {
  std::string out;
  for (const auto& [key, values] : a.registry) {
    auto it = b.registry.find(key);
    if (it == b.registry.end()) {
      out += "key gone: " + key + "\n";
    } else if (it->second != values) {
      out += "values differ: " + key + "\n";
    }
  }
  for (const auto& [key, values] : b.registry) {
    if (!a.registry.count(key)) out += "key added: " + key + "\n";
  }
  for (const auto& [path, line] : a.drive) {
    auto it = b.drive.find(path);
    if (it == b.drive.end()) {
      out += "file gone: " + path + "\n";
    } else if (it->second != line) {
      out += "file differs: " + path + "\n";
    }
  }
  for (const auto& [path, line] : b.drive) {
    if (!a.drive.count(path)) out += "file added: " + path + "\n";
  }
  return out;
}

// A problem of every kind the Optimizer removes, and things it must keep.
inline void PlantOn(vu::platform::Machine& machine) {
  FileSystem& files = machine.files();
  const auto file = [&](const std::string& path, std::string_view bytes) {
    ASSERT_EQ(MakeFolders(files, path.substr(0, path.rfind('\\'))), ERROR_SUCCESS);
    ASSERT_EQ(files.WriteAll(path, bytes), ERROR_SUCCESS) << path;
  };
  const auto link = [&](const std::string& path, const std::string& target) {
    file(path, vu::platform::sandbox::BuildShellLink(target));
  };
  file("C:\\WINDOWS\\NOTEPAD.EXE", "MZ notepad");
  file("C:\\WINDOWS\\UNINST.EXE", "MZ uninstaller");
  file("C:\\WINDOWS\\SYSTEM\\KEPT.DLL", "MZ kept");
  file("C:\\WINDOWS\\SYSTEM\\ALSO.DLL", "MZ also");
  link("C:\\WINDOWS\\DESKTOP\\Old.lnk", "C:\\GONE\\OLD.EXE");
  link("C:\\WINDOWS\\DESKTOP\\Notepad.lnk", "C:\\WINDOWS\\NOTEPAD.EXE");
  link("C:\\WINDOWS\\START MENU\\PROGRAMS\\Old Group\\Old App.lnk", "C:\\OLDAPP\\APP.EXE");
  // An existing [vcache] entry has its old value kept; the other one is new.
  ASSERT_EQ(files.WriteProfileString("C:\\WINDOWS\\SYSTEM.INI", "vcache", "MinFileCache", "512"),
            ERROR_SUCCESS);
  std::vector<common::RegFileEdit> edits;
  common::RegFileProblem problem;
  ASSERT_TRUE(common::ParseRegFile(kPlantedRegistry, edits, problem)) << problem.message;
  ASSERT_TRUE(common::ApplyRegFile(machine.registry(), edits, problem)) << problem.message;
}

class BackupTest : public ::testing::Test {
 protected:
  FileSystem& files() { return world.temp.machine().files(); }
  vu::platform::Machine& machine() { return world.temp.machine(); }

  void File(const std::string& path, std::string_view bytes) {
    ASSERT_EQ(MakeFolders(files(), path.substr(0, path.rfind('\\'))), ERROR_SUCCESS);
    ASSERT_EQ(files().WriteAll(path, bytes), ERROR_SUCCESS) << path;
  }
  void Link(const std::string& path, const std::string& target) {
    File(path, vu::platform::sandbox::BuildShellLink(target));
  }
  bool Exists(const std::string& path) {
    return files().Attributes(path) != INVALID_FILE_ATTRIBUTES;
  }

  void Plant() { PlantOn(machine()); }

  std::string BackupFolder() {
    const std::string& caption = world.Control("backupLabel").caption();
    if (caption.rfind(kLabelText, 0) != 0) return std::string();
    return caption.substr(kLabelText.size());
  }
  std::string Contents(const std::string& folder) {
    std::string text;
    files().ReadAll(folder + "\\" + std::string(kBackupContentsFile), text);
    return text;
  }
  StepOutcome Outcome(Step step) { return world.app.state().outcomes[Index(step)]; }
  bool BackupsExist() { return Exists(std::string(kBackups)); }

  OptimizerWorld world{96, MakeOperations()};
};

}  // namespace vu::optimizer::backup_testing
