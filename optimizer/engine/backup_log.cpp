#include "optimizer/engine/backup_log.h"

#include <cstdio>

#include "platform/text.h"

namespace vu::optimizer {

using vu::platform::Status;

namespace {

constexpr std::string_view kNewline = "\r\n";

std::string Join(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path + std::string(name);
}

std::string Stamp(const vu::platform::LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d-%02d-%02d", t.year % 10000, t.month % 100,
                t.day % 100, t.hour % 100, t.minute % 100, t.second % 100);
  return text;
}

}  // namespace

std::string CopyPathFor(std::string_view path) {
  std::string p(path);
  for (char& c : p) {
    if (c == '/') c = '\\';
  }
  std::string below;
  if (p.size() >= 2 && p[1] == ':') {
    below =
        std::string(1, p[0]) + (p.size() > 2 && p[2] == '\\' ? p.substr(2) : "\\" + p.substr(2));
  } else if (p.rfind("\\\\", 0) == 0) {
    below = "UNC" + p.substr(1);
  } else {
    below = "Other" + std::string(p.empty() || p.front() != '\\' ? "\\" : "") + p;
  }
  // Doubled separators would make empty folder names.
  std::string out(kBackupCopiesFolder);
  out += '\\';
  for (char c : below) {
    if (c == '\\' && !out.empty() && out.back() == '\\') continue;
    out += c;
  }
  return out;
}

Status MakeFolders(vu::platform::FileSystem& files, std::string_view path) {
  const std::uint32_t attributes = files.Attributes(path);
  if (attributes != INVALID_FILE_ATTRIBUTES)
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS;
  const std::size_t slash = path.find_last_of('\\');
  // Stop at a drive root ("C:") and at the start of a network path.
  if (slash != std::string_view::npos && slash > 2 &&
      path.substr(0, slash).find_first_not_of('\\') != std::string_view::npos) {
    const Status parent = MakeFolders(files, path.substr(0, slash));
    if (parent != ERROR_SUCCESS) return parent;
  }
  const Status made = files.MakeDirectory(path);
  return made == ERROR_ALREADY_EXISTS ? ERROR_SUCCESS : made;
}

std::string RegistryUndoText(const std::vector<JournalRecord>& live) {
  std::string text = "REGEDIT4\r\n\r\n";
  for (auto it = live.rbegin(); it != live.rend(); ++it) {
    if (it->kind == JournalRecord::Kind::kRegistry) text += it->body;
  }
  return text;
}

std::string FilesListText(const std::vector<JournalRecord>& live) {
  std::string text;
  for (auto it = live.rbegin(); it != live.rend(); ++it) {
    if (it->kind == JournalRecord::Kind::kFile) text += it->body + std::string(kNewline);
  }
  return text;
}

void BackupLog::SetOptimization(std::string name) {
  MakeUnusedVoid();
  optimization_ = std::move(name);
}

std::string BackupLog::Labelled(std::string what) const {
  return (optimization_.empty() ? std::string("Optimizer") : optimization_) + ": " +
         std::move(what);
}

std::string BackupLog::Path(std::string_view name) const {
  return Join(folder_, name);
}

Status BackupLog::EnsureFolder() {
  if (!folder_.empty()) return ERROR_SUCCESS;
  std::string documents;
  Status status = machine_.shell().SpecialFolderPath(CSIDL_PERSONAL | CSIDL_FLAG_CREATE, documents);
  if (status != ERROR_SUCCESS) return status;
  if (documents.empty()) return ERROR_PATH_NOT_FOUND;
  vu::platform::FileSystem& files = machine_.files();
  const std::string root = Join(documents, kBackupsFolderName);
  status = files.MakeDirectory(root);
  if (status != ERROR_SUCCESS && status != ERROR_ALREADY_EXISTS) return status;
  madeRoot_ = status == ERROR_SUCCESS;
  const std::string base = Join(root, Stamp(machine_.system().Now()));
  // Two runs within one second get folders of their own.
  for (int n = 1; n < 100; ++n) {
    const std::string candidate = n == 1 ? base : base + " (" + std::to_string(n) + ")";
    status = files.MakeDirectory(candidate);
    if (status == ERROR_SUCCESS) {
      folder_ = candidate;
      madeFolders_ = {vu::platform::UpperCase(folder_)};
      copies_.clear();
      // The journal is there from the start, empty: a run cut short while it copies what its
      // first records will name leaves a backup with nothing to restore, not a folder that
      // restore cannot tell from no backup at all.
      return files.Append(Path(kBackupJournalFile), "");
    }
    if (status != ERROR_ALREADY_EXISTS) return status;
  }
  return ERROR_ALREADY_EXISTS;
}

Status BackupLog::Append(JournalRecord::Kind kind, std::string body, std::string what) {
  Status status = EnsureFolder();
  if (status != ERROR_SUCCESS) return status;
  const auto number = static_cast<std::uint32_t>(records_.size() + 1);
  status =
      machine_.files().Append(Path(kBackupJournalFile), EncodeJournalRecord(number, kind, body));
  if (status != ERROR_SUCCESS) {
    // Whatever part of the record reached the disk is torn, and a reader leaves it out; the
    // next record must not follow it.
    return status;
  }
  records_.push_back({number, kind, std::move(body)});
  if (kind != JournalRecord::Kind::kVoid) ++live_;
  pendingWhat_ = Labelled(std::move(what));
  closed_ = false;
  return ERROR_SUCCESS;
}

Status BackupLog::AddRegistry(std::string undo, std::string what) {
  return Append(JournalRecord::Kind::kRegistry, std::move(undo), std::move(what));
}

Status BackupLog::Add(FileRecord record, std::string what) {
  if (!IsStorable(record)) return ERROR_INVALID_NAME;
  std::string line = FormatFileRecords({record});
  line.resize(line.size() - kNewline.size());
  return Append(JournalRecord::Kind::kFile, std::move(line), std::move(what));
}

Status BackupLog::MakeBackupFolders(const std::string& path) {
  vu::platform::FileSystem& files = machine_.files();
  // The folders still to make, deepest first, up to one this log made already.
  std::vector<std::string> missing;
  for (std::string at = path; !madeFolders_.contains(vu::platform::UpperCase(at));) {
    const std::size_t slash = at.find_last_of('\\');
    if (slash == std::string::npos || at.size() <= folder_.size()) return MakeFolders(files, path);
    missing.push_back(at);
    at.resize(slash);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    Status made = files.MakeDirectory(*it);
    if (made == ERROR_ALREADY_EXISTS) {
      const std::uint32_t attributes = files.Attributes(*it);
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        made = ERROR_SUCCESS;
    }
    if (made != ERROR_SUCCESS) return made;
    madeFolders_.insert(vu::platform::UpperCase(*it));
  }
  return ERROR_SUCCESS;
}

Status BackupLog::CopyOut(FileRecord& record) {
  Status status = EnsureFolder();
  if (status != ERROR_SUCCESS) return status;
  vu::platform::FileSystem& files = machine_.files();
  // The same path removed twice in one run keeps both copies: "Old (2).lnk".
  const std::string first = CopyPathFor(record.path);
  std::string copy = first;
  for (int n = 2; copies_.contains(vu::platform::UpperCase(copy)); ++n) {
    if (n > 99) return ERROR_ALREADY_EXISTS;
    const std::size_t slash = first.find_last_of('\\');
    const std::size_t dot = first.find_last_of('.');
    const std::size_t cut = dot != std::string::npos && dot > slash ? dot : first.size();
    copy = first.substr(0, cut) + " (" + std::to_string(n) + ")" + first.substr(cut);
  }
  const std::string target = Path(copy);
  status = MakeBackupFolders(target.substr(0, target.find_last_of('\\')));
  if (status == ERROR_SUCCESS) status = files.Copy(record.path, target, true);
  if (status != ERROR_SUCCESS) return status;
  copies_.insert(vu::platform::UpperCase(copy));
  // The copy is plain, whatever the original was: the record keeps the real attributes.
  constexpr std::uint32_t kNotPlain =
      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  if ((record.attributes & kNotPlain) != 0) files.SetAttributes(target, FILE_ATTRIBUTE_ARCHIVE);
  record.copy = copy;
  return ERROR_SUCCESS;
}

Status BackupLog::AddFile(FileRecord record, std::string what) {
  if (!IsStorable(record)) return ERROR_INVALID_NAME;
  Status status = CopyOut(record);
  if (status != ERROR_SUCCESS) return status;
  const std::string target = Path(record.copy);
  const std::string key = vu::platform::UpperCase(record.copy);
  status = Add(std::move(record), std::move(what));
  if (status != ERROR_SUCCESS) {
    machine_.files().Remove(target);
    copies_.erase(key);
  }
  return status;
}

std::string BackupLog::FileKey(std::string_view path, std::uint32_t attributes) {
  return "file\t" + std::to_string(attributes) + "\t" + std::string(path);
}

Status BackupLog::Prepare(std::vector<Prepared> changes) {
  if (changes.empty()) return ERROR_SUCCESS;
  if (const Status status = EnsureFolder(); status != ERROR_SUCCESS) return status;
  vu::platform::FileSystem& files = machine_.files();
  std::string bytes;
  std::vector<JournalRecord> written;
  std::vector<std::pair<std::string, Reservation>> reserved;
  std::vector<std::string> copies;
  for (Prepared& change : changes) {
    std::string key, body;
    if (change.kind == JournalRecord::Kind::kFile) {
      FileRecord& record = change.record;
      key = FileKey(record.path, record.attributes);
      if (record.kind != FileRecord::Kind::kFile || !IsStorable(record) ||
          prepared_.contains(key) || refused_.contains(key)) {
        continue;
      }
      // One that cannot be kept is not removed, as when its own record fails.
      if (CopyOut(record) != ERROR_SUCCESS) {
        refused_.insert(std::move(key));
        continue;
      }
      copies.push_back(record.copy);
      body = FormatFileRecords({record});
      body.resize(body.size() - kNewline.size());
    } else if (change.kind == JournalRecord::Kind::kRegistry) {
      key = RegistryKey(change.undo);
      if (prepared_.contains(key) || refused_.contains(key)) continue;
      body = std::move(change.undo);
    } else {
      continue;
    }
    const auto number = static_cast<std::uint32_t>(records_.size() + written.size() + 1);
    bytes += EncodeJournalRecord(number, change.kind, body);
    written.push_back({number, change.kind, std::move(body)});
    reserved.push_back({std::move(key), {number, std::move(change.what)}});
  }
  if (written.empty()) return ERROR_SUCCESS;
  const Status status = files.Append(Path(kBackupJournalFile), bytes);
  if (status != ERROR_SUCCESS) {
    // As when one record fails: none of these changes is made.
    for (const std::string& copy : copies) {
      files.Remove(Path(copy));
      copies_.erase(vu::platform::UpperCase(copy));
    }
    for (auto& [key, reservation] : reserved)
      refused_.insert(std::move(key));
    return status;
  }
  for (JournalRecord& record : written)
    records_.push_back(std::move(record));
  for (auto& [key, reservation] : reserved)
    prepared_[std::move(key)] = std::move(reservation);
  live_ += reserved.size();
  closed_ = false;
  return ERROR_SUCCESS;
}

BackupLog::Preparation BackupLog::UsePrepared(const std::string& key) {
  if (refused_.erase(key) != 0) return Preparation::kRefused;
  const auto found = prepared_.find(key);
  if (found == prepared_.end()) return Preparation::kNone;
  pendingWhat_ = Labelled(std::move(found->second.what));
  prepared_.erase(found);
  return Preparation::kRecorded;
}

void BackupLog::MakeUnusedVoid() {
  refused_.clear();
  if (prepared_.empty()) return;
  std::string bytes;
  std::vector<JournalRecord> written;
  for (const auto& [key, reservation] : prepared_) {
    const auto number = static_cast<std::uint32_t>(records_.size() + written.size() + 1);
    std::string body = std::to_string(reservation.number);
    bytes += EncodeJournalRecord(number, JournalRecord::Kind::kVoid, body);
    written.push_back({number, JournalRecord::Kind::kVoid, std::move(body)});
  }
  prepared_.clear();
  // Lost to a failure, they only leave records of changes not made.
  if (machine_.files().Append(Path(kBackupJournalFile), bytes) != ERROR_SUCCESS) return;
  live_ -= written.size();
  for (JournalRecord& record : written)
    records_.push_back(std::move(record));
}

Status BackupLog::Settle(Status outcome) {
  if (outcome == ERROR_SUCCESS && !pendingWhat_.empty()) {
    // Contents.txt is for people: a line lost to a crash loses no record. So its lines go to the
    // disk a batch at a time, and a change costs one flush to the disk (its record), not two.
    contentsLines_ += pendingWhat_;
    contentsLines_ += kNewline;
    if (++contentsCount_ >= kContentsBatch) WriteContents();
  }
  pendingWhat_.clear();
  return outcome;
}

void BackupLog::WriteContents() {
  if (!contentsLines_.empty() && !folder_.empty())
    machine_.files().Append(Path(kBackupContentsFile), contentsLines_);
  contentsLines_.clear();
  contentsCount_ = 0;
}

bool BackupLog::NewestIsAttributes(std::string_view path, std::uint32_t attributes) const {
  if (records_.empty() || records_.back().kind != JournalRecord::Kind::kFile) return false;
  std::vector<FileRecord> newest;
  int bad = 0;
  if (!ParseFileRecords(records_.back().body, newest, bad) || newest.size() != 1) return false;
  return newest[0].kind == FileRecord::Kind::kAttributes && newest[0].path == path &&
         newest[0].attributes == (attributes & kKeptAttributes);
}

void BackupLog::RetractNewest(std::string what) {
  if (records_.empty() || records_.back().kind == JournalRecord::Kind::kVoid) return;
  const std::uint32_t newest = records_.back().number;
  vu::platform::FileSystem& files = machine_.files();
  if (live_ > 1) {
    if (Append(JournalRecord::Kind::kVoid, std::to_string(newest), std::move(what)) ==
        ERROR_SUCCESS) {
      --live_;
      Settle(ERROR_SUCCESS);
    }
    return;
  }
  // Nothing else in the backup: it goes as a whole.
  contentsLines_.clear();
  contentsCount_ = 0;
  for (std::string_view name :
       {kBackupJournalFile, kBackupContentsFile, kBackupRegistryFile, kBackupFilesList})
    files.Remove(Path(name));
  if (files.RemoveDirectory(folder_) != ERROR_SUCCESS) return;
  if (madeRoot_) files.RemoveDirectory(folder_.substr(0, folder_.find_last_of('\\')));
  folder_.clear();
  records_.clear();
  prepared_.clear();
  refused_.clear();
  madeFolders_.clear();
  copies_.clear();
  live_ = 0;
  closed_ = true;
}

void BackupLog::Close() {
  MakeUnusedVoid();
  WriteContents();
  if (closed_ || folder_.empty()) return;
  closed_ = true;
  const std::vector<JournalRecord> live = LiveRecords(records_);
  const auto has = [&](JournalRecord::Kind kind) {
    for (const JournalRecord& r : live) {
      if (r.kind == kind) return true;
    }
    return false;
  };
  vu::platform::FileSystem& files = machine_.files();
  if (has(JournalRecord::Kind::kRegistry))
    files.WriteAll(Path(kBackupRegistryFile), RegistryUndoText(live));
  if (has(JournalRecord::Kind::kFile)) files.WriteAll(Path(kBackupFilesList), FilesListText(live));
}

}  // namespace vu::optimizer
