#include "optimizer/engine/backup_log.h"

#include <cstdio>

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

const char* KindName(FileRecord::Kind kind) {
  switch (kind) {
    case FileRecord::Kind::kFile:
      return "file";
    case FileRecord::Kind::kFolder:
      return "folder";
    case FileRecord::Kind::kAttributes:
      return "attributes";
    case FileRecord::Kind::kEntry:
      return "entry";
    case FileRecord::Kind::kNewFile:
      return "newfile";
    case FileRecord::Kind::kNewFolder:
      return "newfolder";
  }
  return "";
}

std::vector<std::string_view> SplitTabs(std::string_view line, std::size_t maxFields) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < maxFields) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) break;
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return fields;
}

bool ParseNumber(std::string_view text, std::uint32_t& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return true;
}

// Files.txt is one record a line with tab-separated fields: a field may hold neither.
bool Storable(const FileRecord& record) {
  const auto clean = [](std::string_view s, bool tabAllowed) {
    return s.find_first_of(tabAllowed ? "\r\n" : "\t\r\n") == std::string_view::npos;
  };
  return clean(record.path, false) && clean(record.copy, false) && clean(record.section, false) &&
         clean(record.key, false) && clean(record.value.value_or(""), true);
}

}  // namespace

std::string FormatFileRecords(const std::vector<FileRecord>& records) {
  std::string text;
  for (const FileRecord& r : records) {
    text += KindName(r.kind);
    text += '\t';
    switch (r.kind) {
      case FileRecord::Kind::kFile:
        text += std::to_string(r.attributes) + '\t' + r.path + '\t' + r.copy;
        break;
      case FileRecord::Kind::kFolder:
      case FileRecord::Kind::kAttributes:
        text += std::to_string(r.attributes) + '\t' + r.path;
        break;
      case FileRecord::Kind::kEntry:
        text += r.path + '\t' + r.section + '\t' + r.key + '\t';
        // "=value" for a value that was there, "-" for no entry, "--" for no section either.
        text += r.value ? "=" + *r.value : r.sectionExisted ? "-" : "--";
        break;
      case FileRecord::Kind::kNewFile:
      case FileRecord::Kind::kNewFolder:
        text += r.path;
        break;
    }
    text += kNewline;
  }
  return text;
}

bool ParseFileRecords(std::string_view text, std::vector<FileRecord>& records, int& badLine) {
  records.clear();
  int number = 0;
  while (!text.empty()) {
    ++number;
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == ';') continue;
    const std::vector<std::string_view> head = SplitTabs(line, 2);
    FileRecord r;
    bool ok = head.size() == 2;
    const std::string_view kind = head.front();
    if (ok && (kind == "file" || kind == "folder" || kind == "attributes")) {
      const auto f = SplitTabs(head[1], kind == "file" ? 3 : 2);
      ok = f.size() == (kind == "file" ? 3u : 2u) && ParseNumber(f[0], r.attributes);
      if (ok) {
        r.kind = kind == "file"     ? FileRecord::Kind::kFile
                 : kind == "folder" ? FileRecord::Kind::kFolder
                                    : FileRecord::Kind::kAttributes;
        r.path = f[1];
        if (kind == "file") r.copy = f[2];
      }
    } else if (ok && kind == "entry") {
      const auto f = SplitTabs(head[1], 4);
      ok = f.size() == 4 && (f[3] == "-" || f[3] == "--" || f[3].substr(0, 1) == "=");
      if (ok) {
        r.kind = FileRecord::Kind::kEntry;
        r.path = f[0];
        r.section = f[1];
        r.key = f[2];
        if (f[3].front() == '=') r.value = std::string(f[3].substr(1));
        r.sectionExisted = f[3] != "--";
      }
    } else if (ok && (kind == "newfile" || kind == "newfolder")) {
      r.kind = kind == "newfile" ? FileRecord::Kind::kNewFile : FileRecord::Kind::kNewFolder;
      r.path = head[1];
    } else {
      ok = false;
    }
    if (!ok || r.path.empty()) {
      badLine = number;
      return false;
    }
    records.push_back(std::move(r));
  }
  return true;
}

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
      return ERROR_SUCCESS;
    }
    if (status != ERROR_ALREADY_EXISTS) return status;
  }
  return ERROR_ALREADY_EXISTS;
}

Status BackupLog::WriteLists(bool registry, bool files) {
  vu::platform::FileSystem& fs = machine_.files();
  if (registry) {
    std::string text = "REGEDIT4\r\n\r\n";
    for (auto it = registryUndo_.rbegin(); it != registryUndo_.rend(); ++it)
      text += *it;
    const Status status = fs.WriteAll(Join(folder_, kBackupRegistryFile), text);
    if (status != ERROR_SUCCESS) return status;
  }
  if (files) {
    const std::vector<FileRecord> undoOrder(fileRecords_.rbegin(), fileRecords_.rend());
    const Status status =
        fs.WriteAll(Join(folder_, kBackupFilesList), FormatFileRecords(undoOrder));
    if (status != ERROR_SUCCESS) return status;
  }
  std::string contents;
  for (const std::string& line : contents_)
    contents += line + std::string(kNewline);
  return fs.WriteAll(Join(folder_, kBackupContentsFile), contents);
}

Status BackupLog::Commit(bool registry, bool files, std::string what) {
  contents_.push_back((optimization_.empty() ? std::string("Optimizer") : optimization_) + ": " +
                      std::move(what));
  Status status = EnsureFolder();
  if (status == ERROR_SUCCESS) status = WriteLists(registry, files);
  if (status == ERROR_SUCCESS) {
    newestIsFile_ = files;
    return status;
  }
  contents_.pop_back();
  if (registry) registryUndo_.pop_back();
  if (files) fileRecords_.pop_back();
  return status;
}

Status BackupLog::AddRegistry(std::string undo, std::string what) {
  registryUndo_.push_back(std::move(undo));
  return Commit(true, false, std::move(what));
}

Status BackupLog::Add(FileRecord record, std::string what) {
  if (!Storable(record)) return ERROR_INVALID_NAME;
  fileRecords_.push_back(std::move(record));
  return Commit(false, true, std::move(what));
}

bool BackupLog::NewestIsAttributes(std::string_view path, std::uint32_t attributes) const {
  if (fileRecords_.empty() || !newestIsFile_) return false;
  const FileRecord& newest = fileRecords_.back();
  return newest.kind == FileRecord::Kind::kAttributes && newest.path == path &&
         newest.attributes == (attributes & kKeptAttributes);
}

void BackupLog::RetractNewest() {
  if (fileRecords_.empty() || contents_.empty()) return;
  fileRecords_.pop_back();
  contents_.pop_back();
  newestIsFile_ = false;
  vu::platform::FileSystem& files = machine_.files();
  if (!contents_.empty()) {
    WriteLists(!registryUndo_.empty(), true);
    return;
  }
  for (std::string_view name : {kBackupRegistryFile, kBackupFilesList, kBackupContentsFile})
    files.Remove(Join(folder_, name));
  if (files.RemoveDirectory(folder_) == ERROR_SUCCESS && madeRoot_)
    files.RemoveDirectory(folder_.substr(0, folder_.find_last_of('\\')));
  folder_.clear();
}

Status BackupLog::AddFile(FileRecord record, std::string what) {
  if (!Storable(record)) return ERROR_INVALID_NAME;
  Status status = EnsureFolder();
  if (status != ERROR_SUCCESS) return status;
  vu::platform::FileSystem& files = machine_.files();
  // The same path removed twice in one run keeps both copies: "Old (2).lnk".
  const std::string first = CopyPathFor(record.path);
  std::string copy = first;
  for (int n = 2; files.Attributes(Join(folder_, copy)) != INVALID_FILE_ATTRIBUTES; ++n) {
    if (n > 99) return ERROR_ALREADY_EXISTS;
    const std::size_t slash = first.find_last_of('\\');
    const std::size_t dot = first.find_last_of('.');
    const std::size_t cut = dot != std::string::npos && dot > slash ? dot : first.size();
    copy = first.substr(0, cut) + " (" + std::to_string(n) + ")" + first.substr(cut);
  }
  const std::string target = Join(folder_, copy);
  status = MakeFolders(files, target.substr(0, target.find_last_of('\\')));
  if (status == ERROR_SUCCESS) status = files.Copy(record.path, target, true);
  if (status != ERROR_SUCCESS) return status;
  // The copy is plain, whatever the original was: Files.txt keeps the real attributes.
  files.SetAttributes(target, FILE_ATTRIBUTE_ARCHIVE);
  record.copy = copy;
  fileRecords_.push_back(std::move(record));
  status = Commit(false, true, std::move(what));
  if (status != ERROR_SUCCESS) files.Remove(target);
  return status;
}

}  // namespace vu::optimizer
