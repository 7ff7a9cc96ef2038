#include "optimizer/engine/backup.h"

#include <optional>
#include <vector>

#include "common/regedit4.h"
#include "platform/ini.h"
#include "platform/registry_path.h"

namespace vu::optimizer {

using vu::platform::FindData;
using vu::platform::Listing;
using vu::platform::RegistryKey;
using vu::platform::RootKey;
using vu::platform::Status;

namespace {

// What a refused change reports. Deliberately not a "not found" status: callers count those as
// "already gone", and a change that was refused must count as not made.
constexpr Status kRefused = ERROR_WRITE_FAULT;

std::string ValueName(std::string_view name) {
  if (name.empty()) return "@";
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

std::string ValueLabel(std::string_view name) {
  return name.empty() ? std::string("the default value") : "value \"" + std::string(name) + "\"";
}

std::string Child(const std::string& path, std::string_view sub) {
  const std::string normal = vu::platform::NormalizeKeyPath(sub);
  if (path.empty()) return normal;
  return normal.empty() ? path : path + '\\' + normal;
}

FileRecord MakeRecord(FileRecord::Kind kind, std::string_view path, std::uint32_t attributes = 0) {
  FileRecord record;
  record.kind = kind;
  record.path = std::string(path);
  record.attributes = attributes;
  return record;
}

// The record of a value's deletion: what puts it back, and what Contents.txt says.
std::string DeletionUndo(RootKey root, const std::string& keyPath, std::string_view name,
                         std::uint32_t type, const std::string& data) {
  std::string undo = "[" + common::RegKeyName(root, keyPath) + "]\r\n";
  common::AppendRegValue(undo, name, type, data);
  return undo + "\r\n";
}

std::string DeletionWhat(RootKey root, const std::string& keyPath, std::string_view name) {
  return "Deleted " + ValueLabel(name) + " of " + common::RegKeyName(root, keyPath);
}

std::string AttributeLetters(std::uint32_t attributes) {
  std::string letters;
  if (attributes & FILE_ATTRIBUTE_READONLY) letters += 'R';
  if (attributes & FILE_ATTRIBUTE_HIDDEN) letters += 'H';
  if (attributes & FILE_ATTRIBUTE_SYSTEM) letters += 'S';
  if (attributes & FILE_ATTRIBUTE_ARCHIVE) letters += 'A';
  return letters.empty() ? std::string("none") : letters;
}

class BackupKey final : public RegistryKey {
 public:
  BackupKey(vu::platform::Registry& registry, BackupLog& log, RootKey root, std::string path,
            std::unique_ptr<RegistryKey> key)
      : registry_(registry), log_(log), root_(root), path_(std::move(path)), key_(std::move(key)) {}

  Status QueryValue(std::string_view name, std::uint32_t& type, std::string& data) override {
    return key_->QueryValue(name, type, data);
  }
  Status Flush() override { return key_->Flush(); }
  Status EnumKey(std::uint32_t index, std::string& name) override {
    return key_->EnumKey(index, name);
  }
  Status EnumValue(std::uint32_t index, std::string& name, std::uint32_t& type,
                   std::string& data) override {
    return key_->EnumValue(index, name, type, data);
  }

  Status SetValue(std::string_view name, std::uint32_t type, std::string_view data) override {
    std::uint32_t oldType = 0;
    std::string oldData;
    const Status old = key_->QueryValue(name, oldType, oldData);
    // Writing what is already there changes nothing worth keeping.
    if (old == ERROR_SUCCESS && oldType == type && oldData == data)
      return key_->SetValue(name, type, data);
    std::string undo = KeyLine();
    std::string what;
    if (old == ERROR_SUCCESS) {
      common::AppendRegValue(undo, name, oldType, oldData);
      what = "Changed " + ValueLabel(name) + " of " + KeyName();
    } else if (old == ERROR_FILE_NOT_FOUND) {
      undo += ValueName(name) + "=-\r\n";
      what = "Added " + ValueLabel(name) + " to " + KeyName();
    } else {
      return kRefused;
    }
    if (log_.AddRegistry(undo + "\r\n", what) != ERROR_SUCCESS) return kRefused;
    return log_.Settle(key_->SetValue(name, type, data));
  }

  Status DeleteValue(std::string_view name) override {
    std::uint32_t oldType = 0;
    std::string oldData;
    const Status old = key_->QueryValue(name, oldType, oldData);
    if (old == ERROR_FILE_NOT_FOUND) return key_->DeleteValue(name);
    if (old != ERROR_SUCCESS) return kRefused;
    const std::string undo = DeletionUndo(root_, path_, name, oldType, oldData);
    switch (log_.UsePrepared(BackupLog::RegistryKey(undo))) {
      case BackupLog::Preparation::kRefused:
        return kRefused;
      case BackupLog::Preparation::kNone:
        if (log_.AddRegistry(undo, DeletionWhat(root_, path_, name)) != ERROR_SUCCESS)
          return kRefused;
        break;
      case BackupLog::Preparation::kRecorded:
        break;
    }
    return log_.Settle(key_->DeleteValue(name));
  }

  Status DeleteSubKey(std::string_view path) override {
    const std::string branch = Child(path_, path);
    if (branch.empty()) return key_->DeleteSubKey(path);
    std::string text;
    const Status exported = common::ExportRegFile(registry_, {{root_, branch}}, text);
    if (exported == ERROR_FILE_NOT_FOUND) return key_->DeleteSubKey(path);
    if (exported != ERROR_SUCCESS) return kRefused;
    // The export's own REGEDIT4 header goes; the log writes one for the whole file.
    text.erase(0, text.find("\r\n\r\n") + 4);
    if (log_.AddRegistry(text, "Deleted key " + common::RegKeyName(root_, branch) +
                                   " with everything below it") != ERROR_SUCCESS) {
      return kRefused;
    }
    return log_.Settle(key_->DeleteSubKey(path));
  }

 private:
  std::string KeyName() const { return common::RegKeyName(root_, path_); }
  std::string KeyLine() const { return "[" + KeyName() + "]\r\n"; }

  vu::platform::Registry& registry_;
  BackupLog& log_;
  RootKey root_;
  std::string path_;
  std::unique_ptr<RegistryKey> key_;
};

class BackupRegistry final : public vu::platform::Registry {
 public:
  BackupRegistry(vu::platform::Registry& registry, BackupLog& log)
      : registry_(registry), log_(log) {}

  void ExpectValueDeletions(RootKey root, const std::vector<ValueName>& values) override {
    std::vector<BackupLog::Prepared> deletions;
    std::string openPath;
    std::unique_ptr<RegistryKey> key;
    for (const auto& [keyPath, name] : values) {
      const std::string path = vu::platform::NormalizeKeyPath(keyPath);
      if (!key || path != openPath) {
        key.reset();
        openPath = path;
        if (registry_.OpenKey(root, path, key) != ERROR_SUCCESS) key.reset();
      }
      std::uint32_t type = 0;
      std::string data;
      if (!key || key->QueryValue(name, type, data) != ERROR_SUCCESS) continue;
      deletions.push_back({JournalRecord::Kind::kRegistry,
                           {},
                           DeletionUndo(root, path, name, type, data),
                           DeletionWhat(root, path, name)});
    }
    // A batch that could not be recorded is no loss: each deletion is then recorded on its own.
    if (!deletions.empty()) log_.Prepare(std::move(deletions));
  }

  Status OpenKey(RootKey root, std::string_view path, std::unique_ptr<RegistryKey>& key) override {
    std::unique_ptr<RegistryKey> inner;
    const Status status = registry_.OpenKey(root, path, inner);
    Wrap(root, path, inner, key);
    return status;
  }

  Status CreateKey(RootKey root, std::string_view path,
                   std::unique_ptr<RegistryKey>& key) override {
    key.reset();
    // A key the run makes is deleted again on restore: the first missing one on the path. When
    // it cannot be told whether the key is there, it could not be deleted again: refused.
    std::optional<std::string> missing;
    if (FirstMissing(root, path, missing) != ERROR_SUCCESS) return kRefused;
    if (missing) {
      const std::string name = common::RegKeyName(root, *missing);
      if (log_.AddRegistry("[-" + name + "]\r\n\r\n", "Created key " + name) != ERROR_SUCCESS)
        return kRefused;
    }
    std::unique_ptr<RegistryKey> inner;
    const Status status = registry_.CreateKey(root, path, inner);
    if (missing) log_.Settle(status);
    Wrap(root, path, inner, key);
    return status;
  }

 private:
  void Wrap(RootKey root, std::string_view path, std::unique_ptr<RegistryKey>& inner,
            std::unique_ptr<RegistryKey>& key) {
    key.reset();
    if (inner) {
      key = std::make_unique<BackupKey>(registry_, log_, root, vu::platform::NormalizeKeyPath(path),
                                        std::move(inner));
    }
  }

  // The first key on |path| that is not there, in |missing|; a failure when a key could not be
  // opened for another reason.
  Status FirstMissing(RootKey root, std::string_view path, std::optional<std::string>& missing) {
    missing.reset();
    std::unique_ptr<RegistryKey> probe;
    const Status whole = registry_.OpenKey(root, path, probe);
    if (whole == ERROR_SUCCESS) return ERROR_SUCCESS;
    if (whole != ERROR_FILE_NOT_FOUND) return whole;
    std::string prefix;
    for (std::string_view part : vu::platform::SplitKeyPath(path)) {
      prefix = prefix.empty() ? std::string(part) : prefix + '\\' + std::string(part);
      probe.reset();
      const Status status = registry_.OpenKey(root, prefix, probe);
      if (status == ERROR_FILE_NOT_FOUND) {
        missing = prefix;
        return ERROR_SUCCESS;
      }
      if (status != ERROR_SUCCESS) return status;
    }
    // Not there as a whole, yet every part opens: it cannot be told what would be made.
    return ERROR_FILE_NOT_FOUND;
  }

  vu::platform::Registry& registry_;
  BackupLog& log_;
};

class BackupFiles final : public vu::platform::FileSystem {
 public:
  BackupFiles(vu::platform::FileSystem& files, BackupLog& log) : files_(files), log_(log) {}

  Status FindFirst(std::string_view pattern, FindData& first,
                   std::unique_ptr<Listing>& listing) override {
    return files_.FindFirst(pattern, first, listing);
  }
  Status FindFirstNames(std::string_view pattern, FindData& first,
                        std::unique_ptr<Listing>& listing) override {
    return files_.FindFirstNames(pattern, first, listing);
  }
  std::uint32_t Attributes(std::string_view path, Status* error) override {
    return files_.Attributes(path, error);
  }
  Status Length(std::string_view path, std::uint64_t& length) override {
    return files_.Length(path, length);
  }
  Status ReadFirstLine(std::string_view path, std::string& line) override {
    return files_.ReadFirstLine(path, line);
  }
  Status ReadAll(std::string_view path, std::string& bytes) override {
    return files_.ReadAll(path, bytes);
  }
  Status ReadProfileString(std::string_view file, std::string_view section, std::string_view key,
                           std::string& value) override {
    return files_.ReadProfileString(file, section, key, value);
  }

  Status SetAttributes(std::string_view path, std::uint32_t attributes) override {
    Status error = ERROR_SUCCESS;
    const std::uint32_t old = files_.Attributes(path, &error);
    if (old == INVALID_FILE_ATTRIBUTES)
      return Unknown(error) ? kRefused : files_.SetAttributes(path, attributes);
    // Putting back what the newest change took away leaves nothing to keep (Msdos.sys is
    // opened for a write that turned out to change nothing, and closed again).
    if (log_.NewestIsAttributes(path, attributes)) {
      const Status status = files_.SetAttributes(path, attributes);
      if (status == ERROR_SUCCESS)
        log_.RetractNewest("Put back the attributes of " + std::string(path));
      return status;
    }
    if ((old & kKeptAttributes) == (attributes & kKeptAttributes))
      return files_.SetAttributes(path, attributes);
    FileRecord record = MakeRecord(FileRecord::Kind::kAttributes, path, old & kKeptAttributes);
    if (log_.Add(std::move(record), "Changed the attributes of " + std::string(path) + " (were " +
                                        AttributeLetters(old) + ")") != ERROR_SUCCESS) {
      return kRefused;
    }
    return log_.Settle(files_.SetAttributes(path, attributes));
  }

  Status Remove(std::string_view path) override {
    Status error = ERROR_SUCCESS;
    const std::uint32_t old = files_.Attributes(path, &error);
    if (old == INVALID_FILE_ATTRIBUTES) return Unknown(error) ? kRefused : files_.Remove(path);
    // A folder or a read-only file is refused by the call itself.
    if ((old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
      return files_.Remove(path);
    switch (log_.UsePrepared(BackupLog::FileKey(path, old & kKeptAttributes))) {
      case BackupLog::Preparation::kRefused:
        return kRefused;
      case BackupLog::Preparation::kNone:
        if (!BackUpFile(path, old, "Deleted " + std::string(path))) return kRefused;
        break;
      case BackupLog::Preparation::kRecorded:
        break;
    }
    return log_.Settle(files_.Remove(path));
  }

  void ExpectRemovals(const std::vector<std::string>& paths) override {
    std::vector<BackupLog::Prepared> removals;
    for (const std::string& path : paths) {
      // Only what Remove would keep a copy of: an existing file it may delete.
      const std::uint32_t old = files_.Attributes(path);
      if (old == INVALID_FILE_ATTRIBUTES ||
          (old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        continue;
      }
      removals.push_back({JournalRecord::Kind::kFile,
                          MakeRecord(FileRecord::Kind::kFile, path, old & kKeptAttributes),
                          {},
                          "Deleted " + path});
    }
    // A batch that could not be recorded is no loss: each removal is then recorded on its own.
    if (!removals.empty()) log_.Prepare(std::move(removals));
  }

  // A deletion that happens after the run, at the next start of Windows, would undo a restore
  // made before it: a run has no use for one, and it is refused.
  Status RemoveAtRestart(std::string_view) override { return kRefused; }

  Status RemoveDirectory(std::string_view path) override {
    Status error = ERROR_SUCCESS;
    const std::uint32_t old = files_.Attributes(path, &error);
    if (old == INVALID_FILE_ATTRIBUTES)
      return Unknown(error) ? kRefused : files_.RemoveDirectory(path);
    if ((old & FILE_ATTRIBUTE_DIRECTORY) == 0) return files_.RemoveDirectory(path);
    bool empty = false;
    if (!IsEmptyFolder(path, empty)) return kRefused;
    // A folder with something in it is refused by the call itself.
    if (!empty) return files_.RemoveDirectory(path);
    FileRecord record = MakeRecord(FileRecord::Kind::kFolder, path, old & kKeptAttributes);
    if (log_.Add(std::move(record), "Deleted the empty folder " + std::string(path)) !=
        ERROR_SUCCESS) {
      return kRefused;
    }
    return log_.Settle(files_.RemoveDirectory(path));
  }

  Status MakeDirectory(std::string_view path) override {
    Status error = ERROR_SUCCESS;
    if (files_.Attributes(path, &error) != INVALID_FILE_ATTRIBUTES)
      return files_.MakeDirectory(path);
    if (Unknown(error)) return kRefused;
    FileRecord record = MakeRecord(FileRecord::Kind::kNewFolder, path);
    if (log_.Add(std::move(record), "Made the folder " + std::string(path)) != ERROR_SUCCESS)
      return kRefused;
    return log_.Settle(files_.MakeDirectory(path));
  }

  Status WriteAll(std::string_view path, std::string_view bytes) override {
    if (!BeforeReplace(path)) return kRefused;
    return log_.Settle(files_.WriteAll(path, bytes));
  }

  Status Append(std::string_view path, std::string_view bytes) override {
    if (!BeforeReplace(path)) return kRefused;
    return log_.Settle(files_.Append(path, bytes));
  }

  Status Copy(std::string_view from, std::string_view to, bool failIfExists) override {
    if (!failIfExists && !BeforeReplace(to)) return kRefused;
    if (failIfExists && !NoteIfNew(to)) return kRefused;
    return log_.Settle(files_.Copy(from, to, failIfExists));
  }

  Status WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view value) override {
    std::string old;
    const Status read = files_.ReadProfileString(file, section, key, old);
    if (read == ERROR_SUCCESS && old == value)
      return files_.WriteProfileString(file, section, key, value);
    if (read != ERROR_SUCCESS && read != ERROR_FILE_NOT_FOUND) return kRefused;
    FileRecord record = MakeRecord(FileRecord::Kind::kEntry, file);
    record.section = std::string(section);
    record.key = std::string(key);
    std::string what =
        "Set " + std::string(key) + " in [" + std::string(section) + "] of " + std::string(file);
    if (read == ERROR_SUCCESS) {
      record.value = old;
      what += " (was " + old + ")";
    } else {
      std::string text;
      const Status whole = files_.ReadAll(file, text);
      if (whole != ERROR_SUCCESS && Unknown(whole)) return kRefused;
      record.sectionExisted =
          whole == ERROR_SUCCESS && vu::platform::ini::HasSection(text, section);
      what += " (was not set)";
    }
    if (!NoteIfNew(file)) return kRefused;
    if (log_.Add(std::move(record), std::move(what)) != ERROR_SUCCESS) return kRefused;
    return log_.Settle(files_.WriteProfileString(file, section, key, value));
  }

 private:
  // Whether a failed look at a path leaves it unknown what a change there would destroy; "not
  // found" is known: nothing.
  static bool Unknown(Status error) {
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
  }

  bool BackUpFile(std::string_view path, std::uint32_t attributes, std::string what) {
    FileRecord record = MakeRecord(FileRecord::Kind::kFile, path, attributes & kKeptAttributes);
    return log_.AddFile(std::move(record), std::move(what)) == ERROR_SUCCESS;
  }

  // A file about to be overwritten is kept; one about to be made is noted, to go again.
  bool BeforeReplace(std::string_view path) {
    Status error = ERROR_SUCCESS;
    const std::uint32_t old = files_.Attributes(path, &error);
    if (old == INVALID_FILE_ATTRIBUTES) return !Unknown(error) && NoteIfNew(path);
    // A folder or a read-only file is refused by the call itself.
    if ((old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return true;
    return BackUpFile(path, old, "Replaced " + std::string(path));
  }

  bool NoteIfNew(std::string_view path) {
    Status error = ERROR_SUCCESS;
    if (files_.Attributes(path, &error) != INVALID_FILE_ATTRIBUTES) return true;
    if (error == ERROR_PATH_NOT_FOUND) return true;  // no folder for it: the call itself fails
    if (error != ERROR_FILE_NOT_FOUND) return false;
    FileRecord record = MakeRecord(FileRecord::Kind::kNewFile, path);
    return log_.Add(std::move(record), "Made the file " + std::string(path)) == ERROR_SUCCESS;
  }

  // Whether |path| could be listed; |empty| says whether it holds anything.
  bool IsEmptyFolder(std::string_view path, bool& empty) {
    FindData entry;
    std::unique_ptr<Listing> listing;
    const Status status = files_.FindFirstNames(std::string(path) + "\\*", entry, listing);
    empty = true;
    if (status == ERROR_FILE_NOT_FOUND) return true;
    if (status != ERROR_SUCCESS) return false;
    do {
      if (entry.name != "." && entry.name != "..") empty = false;
    } while (empty && listing->Next(entry));
    return true;
  }

  vu::platform::FileSystem& files_;
  BackupLog& log_;
};

}  // namespace

BackupMachine::BackupMachine(vu::platform::Machine& machine)
    : machine_(machine),
      log_(machine),
      registry_(std::make_unique<BackupRegistry>(machine.registry(), log_)),
      files_(std::make_unique<BackupFiles>(machine.files(), log_)) {}

BackupMachine::~BackupMachine() = default;

vu::platform::Registry& BackupMachine::registry() {
  return *registry_;
}

vu::platform::FileSystem& BackupMachine::files() {
  return *files_;
}

}  // namespace vu::optimizer
