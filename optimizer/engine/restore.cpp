#include "optimizer/engine/restore.h"

#include "common/regedit4.h"
#include "optimizer/engine/backup_log.h"
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

std::string Error(Status status) {
  return " (error " + std::to_string(status) + ")";
}

bool Exists(FileSystem& files, std::string_view path) {
  return files.Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

class Restorer {
 public:
  Restorer(vu::platform::Machine& machine, std::string_view folder, RestoreReport& report)
      : files_(machine.files()), registry_(machine.registry()), folder_(folder), report_(report) {}

  void Files() {
    std::string text;
    const Status read = files_.ReadAll(Join(folder_, kBackupFilesList), text);
    if (read == ERROR_FILE_NOT_FOUND) return;  // the run changed no file
    if (read != ERROR_SUCCESS)
      return Fail("Could not read " + std::string(kBackupFilesList) + Error(read));
    std::vector<FileRecord> records;
    int badLine = 0;
    if (!ParseFileRecords(text, records, badLine)) {
      return Fail("Could not read " + std::string(kBackupFilesList) + ": line " +
                  std::to_string(badLine) + " is malformed");
    }
    // The records are newest first: undoing them in this order unwinds the run.
    for (const FileRecord& record : records)
      Undo(record);
  }

  void Registry() {
    std::string text;
    const Status read = files_.ReadAll(Join(folder_, kBackupRegistryFile), text);
    if (read == ERROR_FILE_NOT_FOUND) return;
    const std::string name(kBackupRegistryFile);
    if (read != ERROR_SUCCESS) return Fail("Could not read " + name + Error(read));
    std::vector<common::RegFileEdit> edits;
    common::RegFileProblem problem;
    if (!common::ParseRegFile(text, edits, problem) ||
        !common::ApplyRegFile(registry_, edits, problem)) {
      return Fail("Could not restore the registry from " + name + ": line " +
                  std::to_string(problem.line) + ": " + problem.message);
    }
    Done("Restored the registry from " + name);
  }

 private:
  void Done(std::string line) { report_.restored.push_back(std::move(line)); }
  void Fail(std::string line) { report_.failed.push_back(std::move(line)); }
  void Check(Status status, std::string what) {
    if (status == ERROR_SUCCESS) {
      Done("Restored " + what);
    } else {
      Fail("Could not restore " + what + Error(status));
    }
  }

  void Undo(const FileRecord& r) {
    switch (r.kind) {
      case FileRecord::Kind::kFile:
        return Check(PutBack(r), r.path);
      case FileRecord::Kind::kFolder: {
        Status status = MakeFolders(files_, r.path);
        if (status == ERROR_SUCCESS && r.attributes != 0)
          status = files_.SetAttributes(r.path, r.attributes);
        return Check(status, "the folder " + r.path);
      }
      case FileRecord::Kind::kAttributes: {
        // A file the run made is gone again after a first restore: nothing to put right.
        Status status = files_.SetAttributes(r.path, r.attributes);
        if (status == ERROR_FILE_NOT_FOUND && !Exists(files_, r.path)) status = ERROR_SUCCESS;
        return Check(status, "the attributes of " + r.path);
      }
      case FileRecord::Kind::kEntry:
        return Check(Entry(r), r.key + " in [" + r.section + "] of " + r.path);
      case FileRecord::Kind::kNewFile: {
        Status status = ERROR_SUCCESS;
        if (Exists(files_, r.path)) {
          files_.SetAttributes(r.path, FILE_ATTRIBUTE_ARCHIVE);
          status = files_.Remove(r.path);
        }
        return Check(status, "the absence of " + r.path);
      }
      case FileRecord::Kind::kNewFolder: {
        Status status = files_.RemoveDirectory(r.path);
        if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND)
          status = ERROR_SUCCESS;
        return Check(status, "the absence of the folder " + r.path);
      }
    }
  }

  Status PutBack(const FileRecord& r) {
    const std::string copy = Join(folder_, r.copy);
    std::string saved;
    Status status = files_.ReadAll(copy, saved);
    if (status != ERROR_SUCCESS) return status;
    std::string current;
    // Already there (a second restore): only the attributes may need putting right.
    if (files_.ReadAll(r.path, current) != ERROR_SUCCESS || current != saved) {
      status = MakeFolders(files_, Parent(r.path));
      if (status != ERROR_SUCCESS) return status;
      if (Exists(files_, r.path)) files_.SetAttributes(r.path, FILE_ATTRIBUTE_ARCHIVE);
      status = files_.Copy(copy, r.path, false);
      if (status != ERROR_SUCCESS) return status;
    }
    return files_.SetAttributes(r.path, r.attributes);
  }

  Status Entry(const FileRecord& r) {
    if (r.value) return files_.WriteProfileString(r.path, r.section, r.key, *r.value);
    // The profile calls cannot remove an entry: edit the text itself.
    std::string text;
    const Status read = files_.ReadAll(r.path, text);
    if (read == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (read != ERROR_SUCCESS) return read;
    const std::string edited =
        vu::platform::ini::RemoveEntry(text, r.section, r.key, !r.sectionExisted);
    return edited == text ? ERROR_SUCCESS : files_.WriteAll(r.path, edited);
  }

  FileSystem& files_;
  vu::platform::Registry& registry_;
  std::string folder_;
  RestoreReport& report_;
};

}  // namespace

RestoreReport RestoreBackup(vu::platform::Machine& machine, std::string_view folder) {
  RestoreReport report;
  const std::uint32_t attributes = machine.files().Attributes(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      !Exists(machine.files(), Join(folder, kBackupContentsFile))) {
    report.failed.push_back("There is no Optimizer backup in " + std::string(folder));
    return report;
  }
  Restorer restorer(machine, folder, report);
  restorer.Files();
  restorer.Registry();
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
  if (Exists(machine.files(), Join(folder, kBackupContentsFile)))
    machine.files().WriteAll(Join(folder, "Restore.txt"), text);
  return report.ok() ? 0 : 1;
}

}  // namespace vu::optimizer
