// The backup folder of one optimization run and the records in it. Everything a run removes or
// replaces is written here first, so that --restore can put it back:
//
//   <My Documents>\Velloria Optimizer Backups\<yyyy-mm-dd hh-mm-ss>, holding:
//     Registry.reg   REGEDIT4: merged, it undoes every registry change (newest change first)
//     Files.txt      removed files and folders, replaced profile entries, old attributes
//                    (newest first, tab-separated; read by --restore)
//     Shortcuts\     every removed file, byte for byte, under its original path (C\WINDOWS\...)
//     Contents.txt   one line per change, naming the optimization that made it
//
// The folder is made at the first change only; each file is rewritten whole after every record,
// so what is on disk is always complete.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine.h"
#include "platform/status.h"

namespace vu::optimizer {

inline constexpr std::string_view kBackupsFolderName = "Velloria Optimizer Backups";
inline constexpr std::string_view kBackupRegistryFile = "Registry.reg";
inline constexpr std::string_view kBackupFilesList = "Files.txt";
inline constexpr std::string_view kBackupContentsFile = "Contents.txt";
inline constexpr std::string_view kBackupCopiesFolder = "Shortcuts";

// One change to a file, a folder, a profile entry or attributes, as restore undoes it.
struct FileRecord {
  enum class Kind {
    kFile,        // a file removed or replaced: |copy| holds its bytes, |attributes| its attributes
    kFolder,      // an empty folder removed
    kAttributes,  // attributes changed from |attributes|
    kEntry,       // a profile entry written: |value| held before, or none
    kNewFile,     // a file that did not exist was made
    kNewFolder,   // a folder that did not exist was made
  };
  Kind kind = Kind::kFile;
  std::string path;
  std::uint32_t attributes = 0;
  std::string copy;  // kFile: below the backup folder
  std::string section, key;
  std::optional<std::string> value;
  bool sectionExisted = true;  // kEntry without a value: whether [section] was there
};

// Files.txt's text for |records| (already in restore order), and back.
std::string FormatFileRecords(const std::vector<FileRecord>& records);
bool ParseFileRecords(std::string_view text, std::vector<FileRecord>& records, int& badLine);

// Where a removed file's copy goes below the backup folder: "C:\WINDOWS\Old.lnk" ->
// "Shortcuts\C\WINDOWS\Old.lnk"; a network path goes under "Shortcuts\UNC\".
std::string CopyPathFor(std::string_view path);

// Makes |path| and every missing folder above it; ERROR_SUCCESS when it is there afterwards.
vu::platform::Status MakeFolders(vu::platform::FileSystem& files, std::string_view path);

// The R, H, S and A attributes a backup keeps and restores.
inline constexpr std::uint32_t kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                 FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

class BackupLog {
 public:
  // Writes go to |machine| directly, never through the recording decorator.
  explicit BackupLog(vu::platform::Machine& machine) : machine_(machine) {}
  BackupLog(const BackupLog&) = delete;
  BackupLog& operator=(const BackupLog&) = delete;

  // The optimization whose changes follow, as the results page names it.
  void SetOptimization(std::string name) { optimization_ = std::move(name); }
  // The backup folder; empty while nothing has changed.
  const std::string& folder() const { return folder_; }

  // Each records one change described by |what| and returns ERROR_SUCCESS only when the record
  // is on disk; the change may then go ahead. On failure nothing of the record is kept.
  vu::platform::Status AddRegistry(std::string undo, std::string what);
  // Copies the file at |record.path| into the backup first (kFile).
  vu::platform::Status AddFile(FileRecord record, std::string what);
  vu::platform::Status Add(FileRecord record, std::string what);

  // Whether the newest record says |path| had the attributes |attributes| before the run
  // changed them (so that setting them again undoes that change).
  bool NewestIsAttributes(std::string_view path, std::uint32_t attributes) const;
  // Forgets the newest record, a change that has just been undone. A backup left with nothing
  // in it goes from the disk: a run that in the end changed nothing leaves no folder.
  void RetractNewest();

 private:
  vu::platform::Status EnsureFolder();
  vu::platform::Status WriteLists(bool registry, bool files);
  vu::platform::Status Commit(bool registry, bool files, std::string what);

  vu::platform::Machine& machine_;
  std::string optimization_;
  std::string folder_;
  bool madeRoot_ = false;
  bool newestIsFile_ = false;  // the newest record is fileRecords_.back()  // "Velloria Optimizer
                               // Backups" did not exist before this run
  std::vector<std::string> registryUndo_;  // in change order
  std::vector<FileRecord> fileRecords_;    // in change order
  std::vector<std::string> contents_;
};

}  // namespace vu::optimizer
