// The backup folder of one optimization run and the records in it. Everything a run removes or
// replaces is recorded here first, so that --restore can put it back:
//
//   <My Documents>\Velloria Optimizer Backups\<yyyy-mm-dd hh-mm-ss>, holding:
//     Journal.txt    every change, in the order made, each record on the disk before its change
//                    (backup_journal.h); what --restore reads
//     Shortcuts\     every removed or replaced file, byte for byte, under its original path
//     Contents.txt   one line per change that took effect, naming the optimization that made it
//     Registry.reg   REGEDIT4: merged, it undoes every registry change (newest change first)
//     Files.txt      removed files and folders, replaced profile entries, old attributes
//                    (newest first)
//
// The folder is made at the first change only. Journal.txt and Contents.txt are only appended
// to, so the cost of a record does not grow with the number before it and a crash leaves all
// that was written (Contents.txt's lines are written a batch at a time, and at the end).
// Registry.reg and Files.txt are written from the journal when the run ends, and again by --restore
// when a run never came to its end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "optimizer/engine/backup_journal.h"
#include "platform/machine.h"
#include "platform/status.h"

namespace vu::optimizer {

inline constexpr std::string_view kBackupsFolderName = "Velloria Optimizer Backups";
inline constexpr std::string_view kBackupJournalFile = "Journal.txt";
inline constexpr std::string_view kBackupRegistryFile = "Registry.reg";
inline constexpr std::string_view kBackupFilesList = "Files.txt";
inline constexpr std::string_view kBackupContentsFile = "Contents.txt";
inline constexpr std::string_view kBackupCopiesFolder = "Shortcuts";

// Where a removed file's copy goes below the backup folder: "C:\WINDOWS\Old.lnk" ->
// "Shortcuts\C\WINDOWS\Old.lnk"; a network path goes under "Shortcuts\UNC\".
std::string CopyPathFor(std::string_view path);

// Makes |path| and every missing folder above it; ERROR_SUCCESS when it is there afterwards.
vu::platform::Status MakeFolders(vu::platform::FileSystem& files, std::string_view path);

// Registry.reg's and Files.txt's text for the records whose changes stand, newest first.
std::string RegistryUndoText(const std::vector<JournalRecord>& live);
std::string FilesListText(const std::vector<JournalRecord>& live);

// The R, H, S and A attributes a backup keeps and restores.
inline constexpr std::uint32_t kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                 FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

class BackupLog {
 public:
  // Writes go to |machine| directly, never through the recording decorator.
  explicit BackupLog(vu::platform::Machine& machine) : machine_(machine) {}
  BackupLog(const BackupLog&) = delete;
  BackupLog& operator=(const BackupLog&) = delete;
  ~BackupLog() { Close(); }

  // The optimization whose changes follow, as the results page names it. What the one before
  // prepared and never changed is made void.
  void SetOptimization(std::string name);
  // The backup folder; empty while nothing has changed.
  const std::string& folder() const { return folder_; }

  // Each records one change described by |what| and returns ERROR_SUCCESS only when the record
  // is on the disk; the change may then be made, and its outcome handed to Settle.
  vu::platform::Status AddRegistry(std::string undo, std::string what);
  // Copies the file at |record.path| into the backup first (kFile).
  vu::platform::Status AddFile(FileRecord record, std::string what);
  // Records several changes ahead of time, as AddFile or AddRegistry would each, with one flush
  // to the disk for them all; each change is then let through by UsePrepared. A prepared record
  // whose change never comes stands for a change not made, as a failed change's record does:
  // restore puts back what is there already. Close makes the unused ones void.
  struct Prepared {
    JournalRecord::Kind kind = JournalRecord::Kind::kFile;
    FileRecord record;  // kFile: the file to remove (copied into the backup here)
    std::string undo;   // kRegistry: the text that undoes the change
    std::string what;
  };
  vu::platform::Status Prepare(std::vector<Prepared> changes);
  // What tells a prepared change apart: the removal of |path| while it has |attributes| (as a
  // record keeps them), or the registry change that |undo| undoes.
  static std::string FileKey(std::string_view path, std::uint32_t attributes);
  static std::string RegistryKey(std::string_view undo) { return "registry\t" + std::string(undo); }
  // What Prepare did for the change |key| names: nothing; recorded it, so that the change is now
  // the one waiting for Settle; or could not keep what it would destroy, so that it is refused.
  enum class Preparation { kNone, kRecorded, kRefused };
  Preparation UsePrepared(const std::string& key);
  vu::platform::Status Add(FileRecord record, std::string what);
  // The outcome of the change recorded last: Contents.txt lists it when it took effect. A
  // failed change keeps its record, since a failure may come after part of the change was made
  // and undoing what was never done puts back what is there. Returns |outcome|.
  vu::platform::Status Settle(vu::platform::Status outcome);

  // Whether the newest record says |path| had the attributes |attributes| before the run
  // changed them (so that setting them again undoes that change).
  bool NewestIsAttributes(std::string_view path, std::uint32_t attributes) const;
  // The newest change has just been undone by the run: its record is made void. A backup left
  // with nothing in it goes from the disk: a run that in the end changed nothing leaves no folder.
  // |what| says so in Contents.txt.
  void RetractNewest(std::string what);

  // Writes the lines of Contents.txt still held back, then Registry.reg and Files.txt for the
  // registry editor and for people. Called when the run ends; recording after it starts them
  // anew.
  void Close();

 private:
  vu::platform::Status EnsureFolder();
  vu::platform::Status Append(JournalRecord::Kind kind, std::string body, std::string what);
  // Copies the file at |record.path| into the backup and names the copy in |record|.
  vu::platform::Status CopyOut(FileRecord& record);
  // Makes the folder |path| below the backup folder, with the folders above it.
  vu::platform::Status MakeBackupFolders(const std::string& path);
  void MakeUnusedVoid();
  std::string Path(std::string_view name) const;
  // |what| as Contents.txt says it: after the optimization that made the change.
  std::string Labelled(std::string what) const;
  // Appends the Contents.txt lines held back.
  void WriteContents();

  // Contents.txt lines held back at most, so that a crash loses few of them.
  static constexpr int kContentsBatch = 64;

  vu::platform::Machine& machine_;
  std::string optimization_;
  std::string folder_;
  bool madeRoot_ = false;  // "Velloria Optimizer Backups" did not exist before this run
  std::vector<JournalRecord> records_;  // as written, void ones included
  std::string pendingWhat_;             // the change waiting for Settle
  std::string contentsLines_;           // Contents.txt lines not yet written
  int contentsCount_ = 0;               // how many
  std::size_t live_ = 0;                // records not made void
  bool closed_ = true;                  // Registry.reg and Files.txt are up to date
  // Below the backup folder, upper-cased: the folders made there and the copies made in them.
  // The folder is this run's own and new, so these are all it holds and no look is needed.
  std::unordered_set<std::string> madeFolders_;
  std::unordered_set<std::string> copies_;
  struct Reservation {
    std::uint32_t number = 0;
    std::string what;
  };
  std::unordered_map<std::string, Reservation> prepared_;  // by key
  std::unordered_set<std::string> refused_;                // keys whose backup failed
};

}  // namespace vu::optimizer
