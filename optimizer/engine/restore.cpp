#include "optimizer/engine/restore.h"

#include "common/paths.h"
#include "common/regedit4.h"
#include "optimizer/engine/backup_log.h"
#include "optimizer/engine/restore_check.h"
#include "platform/ini.h"

namespace vu::optimizer {

using vu::platform::FileSystem;
using vu::platform::Status;

namespace {

std::string Join(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path + '\\' + std::string(name);
}

std::string Parent(std::string_view path) {
  const std::size_t slash = path.find_last_of('\\');
  return std::string(path.substr(0, slash == std::string_view::npos ? 0 : slash));
}

bool Exists(FileSystem& files, std::string_view path) {
  return files.Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

// Undoes single records. A call that fails is not reported here: reading everything back
// afterwards tells what was restored and what was not.
class Restorer {
 public:
  Restorer(vu::platform::Machine& machine, std::string_view folder)
      : files_(machine.files()), registry_(machine.registry()), folder_(folder) {}

  void Undo(const FileRecord& r) {
    switch (r.kind) {
      case FileRecord::Kind::kFile:
        PutBack(r);
        return;
      case FileRecord::Kind::kFolder:
        if (MakeFolders(files_, r.path) == ERROR_SUCCESS)
          files_.SetAttributes(r.path, r.attributes);
        return;
      case FileRecord::Kind::kAttributes:
        files_.SetAttributes(r.path, r.attributes);
        return;
      case FileRecord::Kind::kEntry:
        Entry(r);
        return;
      case FileRecord::Kind::kNewFile:
        if (Exists(files_, r.path)) {
          files_.SetAttributes(r.path, FILE_ATTRIBUTE_ARCHIVE);
          files_.Remove(r.path);
        }
        return;
      case FileRecord::Kind::kNewFolder:
        files_.RemoveDirectory(r.path);
        return;
    }
  }

  void Undo(const std::vector<common::RegFileEdit>& edits) {
    // Each edit on its own: one that fails does not keep the others from being made.
    for (const common::RegFileEdit& edit : edits) {
      common::RegFileProblem problem;
      if (edit.kind == common::RegFileEdit::Kind::kSetValue ||
          edit.kind == common::RegFileEdit::Kind::kDeleteValue) {
        common::RegFileEdit key = edit;
        key.kind = common::RegFileEdit::Kind::kCreateKey;
        common::ApplyRegFile(registry_, {key, edit}, problem);
      } else {
        common::ApplyRegFile(registry_, {edit}, problem);
      }
    }
  }

 private:
  void PutBack(const FileRecord& r) {
    const std::string copy = Join(folder_, r.copy);
    std::string saved;
    if (files_.ReadAll(copy, saved) != ERROR_SUCCESS) return;
    std::string current;
    // Already there (a second restore): only the attributes may need putting right.
    if (files_.ReadAll(r.path, current) != ERROR_SUCCESS || current != saved) {
      if (MakeFolders(files_, Parent(r.path)) != ERROR_SUCCESS) return;
      if (Exists(files_, r.path)) files_.SetAttributes(r.path, FILE_ATTRIBUTE_ARCHIVE);
      if (files_.Copy(copy, r.path, false) != ERROR_SUCCESS) return;
    }
    files_.SetAttributes(r.path, r.attributes);
  }

  void Entry(const FileRecord& r) {
    if (r.value) {
      files_.WriteProfileString(r.path, r.section, r.key, *r.value);
      return;
    }
    // The profile calls cannot remove an entry: edit the text itself.
    std::string text;
    if (files_.ReadAll(r.path, text) != ERROR_SUCCESS) return;
    const std::string edited =
        vu::platform::ini::RemoveEntry(text, r.section, r.key, !r.sectionExisted);
    if (edited != text) files_.WriteAll(r.path, edited);
  }

  FileSystem& files_;
  vu::platform::Registry& registry_;
  std::string folder_;
};

}  // namespace

RestoreReport RestoreBackup(vu::platform::Machine& machine, std::string_view folder) {
  RestoreReport report;
  FileSystem& files = machine.files();
  const std::uint32_t attributes = files.Attributes(folder);
  std::string bytes;
  Status read =
      attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0
          ? ERROR_PATH_NOT_FOUND
          : files.ReadAll(Join(folder, kBackupJournalFile), bytes);
  // A run stopped between making its backup folder and its journal changed nothing: its folder
  // is empty, and there is nothing to put back.
  if (read == ERROR_FILE_NOT_FOUND && common::IsSet(common::IsFolderEmpty(files, folder)))
    read = ERROR_SUCCESS;
  if (read == ERROR_FILE_NOT_FOUND || read == ERROR_PATH_NOT_FOUND) {
    report.failed.push_back("There is no Optimizer backup in " + std::string(folder));
    return report;
  }
  const std::string journal(kBackupJournalFile);
  if (read != ERROR_SUCCESS) {
    report.failed.push_back("Could not read " + journal + " (error " + std::to_string(read) + ")");
    return report;
  }
  const JournalReading reading = ReadJournal(bytes);
  if (reading.damagedAt) {
    report.failed.push_back(journal + " is damaged at byte " + std::to_string(*reading.damagedAt) +
                            ": the changes recorded after it could not be restored");
  }
  const std::vector<JournalRecord> live = LiveRecords(reading.records);

  // A run that never came to its end did not write these: the registry editor and people can
  // use them all the same.
  if (!Exists(files, Join(folder, kBackupRegistryFile))) {
    const std::string text = RegistryUndoText(live);
    if (text.size() > std::string_view("REGEDIT4\r\n\r\n").size())
      files.WriteAll(Join(folder, kBackupRegistryFile), text);
  }
  if (!Exists(files, Join(folder, kBackupFilesList))) {
    const std::string text = FilesListText(live);
    if (!text.empty()) files.WriteAll(Join(folder, kBackupFilesList), text);
  }

  Restorer restorer(machine, folder);
  RestoreExpectation expected;
  for (auto it = live.rbegin(); it != live.rend(); ++it) {
    const std::string unreadable =
        "Not restored: record " + std::to_string(it->number) + " of " + journal + " cannot be read";
    if (it->kind == JournalRecord::Kind::kFile) {
      std::vector<FileRecord> records;
      int badLine = 0;
      if (!ParseFileRecords(it->body, records, badLine) || records.size() != 1) {
        report.failed.push_back(unreadable);
        continue;
      }
      restorer.Undo(records[0]);
      expected.Undid(records[0]);
    } else {
      std::vector<common::RegFileEdit> edits;
      common::RegFileProblem problem;
      if (!common::ParseRegFile("REGEDIT4\r\n\r\n" + it->body, edits, problem)) {
        report.failed.push_back(unreadable + ": " + problem.message);
        continue;
      }
      restorer.Undo(edits);
      expected.Undid(edits);
    }
  }
  expected.Compare(machine, folder, report);
  return report;
}

std::string FormatRestoreReport(std::string_view folder, const RestoreReport& report) {
  std::string text = "Restoring the backup in " + std::string(folder) + "\r\n";
  for (const std::string& line : report.restored)
    text += line + "\r\n";
  for (const std::string& line : report.failed)
    text += line + "\r\n";
  text += report.ok()
              ? "Everything was restored.\r\n"
              : std::to_string(report.failed.size()) + " item(s) could not be restored.\r\n";
  return text;
}

int RunRestore(vu::platform::Machine& machine, std::string_view folder, std::string& text) {
  const RestoreReport report = RestoreBackup(machine, folder);
  text = FormatRestoreReport(folder, report);
  if (Exists(machine.files(), Join(folder, kBackupJournalFile)))
    machine.files().WriteAll(Join(folder, "Restore.txt"), text);
  return report.ok() ? 0 : 1;
}

}  // namespace vu::optimizer
