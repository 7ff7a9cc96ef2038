#include "platform/sandbox/file_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/ini.h"
#include "platform/sandbox/folder_cache.h"
#include "platform/sandbox/host_io.h"
#include "platform/sandbox/layout.h"
#include "platform/sandbox/short_names.h"
#include "platform/text.h"

namespace vu::platform::sandbox {
namespace fs = std::filesystem;
namespace {

// RemoveDirectory on a file (ERROR_DIRECTORY, "The directory name is invalid").
constexpr Status kErrorDirectory = 267;
constexpr std::size_t kFirstLineLimit = 64 * 1024;

bool IsValidPattern(std::string_view name) {
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("<>:\"|").find(c) != std::string_view::npos) return false;
  }
  return true;
}

// "*", "*.*" and "*." list every name.
bool MatchesEverything(std::string_view pattern) {
  return pattern == "*" || pattern == "*.*" || pattern == "*.";
}

// A name as the folder read gave it: None for a kind that needs a closer look (a link, or a
// file system that does not tell).
struct HostName {
  std::string name;
  EntryKind kind = EntryKind::None;
};

// One read of a host folder, kept open so that the sizes of its files are looked up from it
// without walking the path again.
class HostFolder {
 public:
  explicit HostFolder(const std::string& path) : dir_(::opendir(path.c_str())) {
    if (dir_ == nullptr) error_ = errno;
  }
  HostFolder(const HostFolder&) = delete;
  HostFolder& operator=(const HostFolder&) = delete;
  ~HostFolder() {
    if (dir_ != nullptr) ::closedir(dir_);
  }

  Status Read(std::vector<HostName>& names) {
    if (dir_ == nullptr) return StatusFromError(std::error_code(error_, std::generic_category()));
    while (const dirent* entry = ::readdir(dir_)) {
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      EntryKind kind = EntryKind::None;
      if (entry->d_type == DT_REG) kind = EntryKind::File;
      if (entry->d_type == DT_DIR) kind = EntryKind::Directory;
      names.push_back({std::string(name), kind});
    }
    return ERROR_SUCCESS;
  }

  // Follows a link, as the size of a link's target is what Windows reports for it.
  std::uint64_t SizeOf(const std::string& name) const {
    struct stat info {};
    if (dir_ == nullptr || ::fstatat(::dirfd(dir_), name.c_str(), &info, 0) != 0) return 0;
    return static_cast<std::uint64_t>(info.st_size);
  }

 private:
  DIR* dir_;
  int error_ = 0;
};

std::uint64_t SizeOf(const std::string& host) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(host, ec);
  return ec ? 0 : static_cast<std::uint64_t>(size);
}

}  // namespace

FileStore::FileStore(const std::string& machineDir)
    : resolver_(machineDir),
      attributes_(machineDir + "/" + std::string(kAttributesFile)),
      machineDir_(machineDir) {}

std::uint32_t FileStore::BitsOf(const HostEntry& entry) const {
  return attributes_.Get(entry.win.ToString(), entry.isDirectory());
}

Status FileStore::List(std::string_view pattern, std::vector<FindData>& entries, bool sizes) {
  entries.clear();
  attributes_.Refresh();
  const std::size_t cut = pattern.find_last_of("\\/");
  if (cut == std::string_view::npos) return ERROR_PATH_NOT_FOUND;
  const std::string_view name = pattern.substr(cut + 1);
  HostEntry folder;
  // The separator stays with the folder so that "C:\*.*" lists the root "C:\".
  const Status status = resolver_.Resolve(pattern.substr(0, cut + 1), folder);
  if (status != ERROR_SUCCESS) return status;
  if (!folder.isDirectory()) return ERROR_PATH_NOT_FOUND;
  if (name.empty()) return ERROR_FILE_NOT_FOUND;
  if (!IsValidPattern(name)) return ERROR_INVALID_NAME;

  // One read of the folder: the names with the types the read gives, each looked at again only
  // when it is listed and the type says too little (a link) or its size is wanted.
  std::vector<HostName> names;
  HostFolder dir(folder.host);
  const Status read = dir.Read(names);
  if (read != ERROR_SUCCESS) return read;
  std::vector<std::string> sorted;
  sorted.reserve(names.size());
  for (HostName& host : names)
    sorted.push_back(std::move(host.name));
  const std::vector<std::size_t> order = ListingOrder(sorted);
  {
    std::vector<HostName> inOrder;
    inOrder.reserve(names.size());
    for (const std::size_t at : order)
      inOrder.push_back({sorted[at], names[at].kind});
    names = std::move(inOrder);
  }
  for (std::size_t i = 0; i < order.size(); ++i)
    sorted[i] = names[i].name;
  // Names laid here from the host get their aliases the first time the sandbox sees them.
  resolver_.shortNames().Settle(folder.win, sorted);

  const bool everything = MatchesEverything(name);
  const bool anyAttributes = attributes_.AnyWithin(folder.win.ToString());
  std::vector<FindData> found;
  for (const HostName& host : names) {
    FindData data;
    data.name = host.name;
    if (!IsShortName(data.name))
      data.alternateName = resolver_.shortNames().AliasOf(folder.win, data.name);
    if (!everything && !MatchesPattern(data.name, name) &&
        (data.alternateName.empty() || !MatchesPattern(data.alternateName, name))) {
      continue;
    }
    bool link = false;
    bool refused = false;
    EntryKind kind = host.kind;
    if (kind == EntryKind::None)
      kind = resolver_.Classify(folder.host + "/" + data.name, folder.win.drive, link, refused);
    if (kind == EntryKind::None) continue;  // gone meanwhile, or leading out of the drive
    const bool isDirectory = kind == EntryKind::Directory;
    std::uint32_t bits = DefaultAttributes(isDirectory);
    if (anyAttributes) {
      WinPath path = folder.win;
      path.parts.push_back(data.name);
      bits = attributes_.Get(path.ToString(), isDirectory);
    }
    data.attributes = ReportedAttributes(bits, isDirectory, link);
    data.size = isDirectory || !sizes ? 0 : dir.SizeOf(data.name);
    found.push_back(std::move(data));
  }

  if (!folder.win.IsRoot()) {
    for (const char* dots : {".", ".."}) {
      if (MatchesPattern(dots, name)) {
        FindData data;
        data.attributes = FILE_ATTRIBUTE_DIRECTORY;
        data.name = dots;
        entries.push_back(std::move(data));
      }
    }
  }
  entries.insert(entries.end(), std::make_move_iterator(found.begin()),
                 std::make_move_iterator(found.end()));
  return entries.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

std::uint32_t FileStore::Attributes(std::string_view path, Status* error) {
  HostEntry entry;
  Status status = resolver_.Resolve(path, entry);
  if (status == ERROR_SUCCESS && !entry.exists()) status = ERROR_FILE_NOT_FOUND;
  if (error != nullptr) *error = status;
  if (status != ERROR_SUCCESS) return INVALID_FILE_ATTRIBUTES;
  // Only what is there has attributes to read: a miss costs no look at the attribute file.
  attributes_.Refresh();
  return ReportedAttributes(BitsOf(entry), entry.isDirectory(), entry.link);
}

Status FileStore::SetAttributes(std::string_view path, std::uint32_t attributes) {
  attributes_.Refresh();
  HostEntry entry;
  const Status status = resolver_.Resolve(path, entry);
  if (status != ERROR_SUCCESS) return status;
  if (!entry.exists()) return ERROR_FILE_NOT_FOUND;
  return attributes_.Set(entry.win.ToString(), attributes, entry.isDirectory());
}

Status FileStore::Remove(std::string_view path) {
  attributes_.Refresh();
  HostEntry entry;
  const Status status = resolver_.Resolve(path, entry);
  if (status != ERROR_SUCCESS) return status;
  if (!entry.exists()) return ERROR_FILE_NOT_FOUND;
  if (entry.isDirectory()) return ERROR_ACCESS_DENIED;
  if ((BitsOf(entry) & FILE_ATTRIBUTE_READONLY) != 0) return ERROR_ACCESS_DENIED;
  std::error_code ec;
  fs::remove(entry.host, ec);  // a link goes, not what it points at
  if (ec) return StatusFromError(ec);
  resolver_.Removed(entry);
  return attributes_.Forget(entry.win.ToString());
}

Status FileStore::Copy(std::string_view from, std::string_view to, bool failIfExists) {
  attributes_.Refresh();
  HostEntry source;
  Status status = resolver_.Resolve(from, source);
  if (status != ERROR_SUCCESS) return status;
  if (!source.exists()) return ERROR_FILE_NOT_FOUND;
  if (source.isDirectory()) return ERROR_ACCESS_DENIED;
  HostEntry target;
  status = resolver_.Resolve(to, target);
  if (status != ERROR_SUCCESS) return status;
  if (target.exists()) {
    if (target.isDirectory()) return ERROR_ACCESS_DENIED;
    if (failIfExists) return ERROR_FILE_EXISTS;
    std::error_code ec;
    if (fs::equivalent(source.host, target.host, ec)) return ERROR_SHARING_VIOLATION;
    if ((BitsOf(target) & FILE_ATTRIBUTE_READONLY) != 0) return ERROR_ACCESS_DENIED;
  }
  const std::uint32_t bits = BitsOf(source);
  std::error_code ec;
  fs::copy_file(source.host, target.host, fs::copy_options::overwrite_existing, ec);
  if (ec) return StatusFromError(ec);
  if (!target.exists()) resolver_.Made(target);
  // CopyFile gives the new file the source's attributes.
  const std::string key = target.win.ToString();
  status = attributes_.Forget(key);
  if (status != ERROR_SUCCESS) return status;
  return attributes_.Set(key, bits, false);
}

Status FileStore::MakeDirectory(std::string_view path) {
  attributes_.Refresh();
  HostEntry entry;
  const Status status = resolver_.Resolve(path, entry);
  if (status != ERROR_SUCCESS) return status;
  if (entry.exists()) return ERROR_ALREADY_EXISTS;
  std::error_code ec;
  fs::create_directory(entry.host, ec);
  if (ec) return StatusFromError(ec);
  resolver_.Made(entry);
  return attributes_.Forget(entry.win.ToString());  // nothing left over from an earlier one
}

Status FileStore::MakeDirectories(std::string_view path) {
  WinPath win;
  Status status = ParseWinPath(path, win);
  if (status != ERROR_SUCCESS) return status;
  WinPath level{win.drive, {}};
  for (const std::string& name : win.parts) {
    level.parts.push_back(name);
    status = MakeDirectory(level.ToString());
    if (status == ERROR_ALREADY_EXISTS) {
      HostEntry entry;
      status = resolver_.Resolve(level, entry);
      if (status == ERROR_SUCCESS && !entry.isDirectory()) status = ERROR_PATH_NOT_FOUND;
    }
    if (status != ERROR_SUCCESS) return status;
  }
  return resolver_.DriveExists(win.drive) ? ERROR_SUCCESS : ERROR_PATH_NOT_FOUND;
}

Status FileStore::RemoveDirectory(std::string_view path) {
  attributes_.Refresh();
  HostEntry entry;
  const Status status = resolver_.Resolve(path, entry);
  if (status != ERROR_SUCCESS) return status;
  if (!entry.exists()) return ERROR_FILE_NOT_FOUND;
  if (!entry.isDirectory()) return kErrorDirectory;
  if (entry.win.IsRoot()) return ERROR_ACCESS_DENIED;
  if ((BitsOf(entry) & FILE_ATTRIBUTE_READONLY) != 0) return ERROR_ACCESS_DENIED;
  std::error_code ec;
  if (!entry.link && !fs::is_empty(entry.host, ec))
    return ec ? StatusFromError(ec) : ERROR_DIR_NOT_EMPTY;
  fs::remove(entry.host, ec);
  if (ec) return StatusFromError(ec);
  resolver_.Removed(entry);
  return attributes_.Forget(entry.win.ToString());
}

Status FileStore::Length(std::string_view path, std::uint64_t& length) {
  HostEntry entry;
  const Status status = resolver_.Resolve(path, entry);
  if (status != ERROR_SUCCESS) return status;
  if (!entry.exists()) return ERROR_FILE_NOT_FOUND;
  length = entry.isDirectory() ? 0 : SizeOf(entry.host);
  return ERROR_SUCCESS;
}

Status FileStore::ResolveFile(std::string_view path, HostEntry& entry) {
  const Status status = resolver_.Resolve(path, entry);
  if (status != ERROR_SUCCESS) return status;
  if (!entry.exists()) return ERROR_FILE_NOT_FOUND;
  if (entry.isDirectory()) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

Status FileStore::ReadContent(std::string_view path, std::string& bytes, std::size_t limit) {
  HostEntry entry;
  const Status status = ResolveFile(path, entry);
  if (status != ERROR_SUCCESS) return status;
  return ReadHostFile(entry.host, bytes, limit);
}

Status FileStore::ReadFirstLine(std::string_view path, std::string& line) {
  HostEntry entry;
  const Status status = ResolveFile(path, entry);
  if (status != ERROR_SUCCESS) return status;
  HostFile file(entry.host, "rb");
  if (!file) return StatusFromError(std::error_code(errno, std::generic_category()));
  // Read only as far as the line goes: most first lines are short, most files are not.
  std::string bytes;
  char chunk[4096];
  while (bytes.size() < kFirstLineLimit) {
    const std::size_t want = std::min(sizeof chunk, kFirstLineLimit - bytes.size());
    const std::size_t got = std::fread(chunk, 1, want, file.get());
    const std::size_t end = std::string_view(chunk, got).find_first_of("\r\n");
    bytes.append(chunk, end == std::string_view::npos ? got : end);
    if (end != std::string_view::npos) break;
    if (got < want) {
      if (std::ferror(file.get()) != 0)
        return StatusFromError(std::error_code(errno, std::generic_category()));
      break;
    }
  }
  line = std::move(bytes);
  return ERROR_SUCCESS;
}

Status FileStore::ReadAll(std::string_view path, std::string& bytes) {
  return ReadContent(path, bytes, static_cast<std::size_t>(-1));
}

Status FileStore::ResolveForWriting(std::string_view path, HostEntry& entry) {
  attributes_.Refresh();
  const Status status = resolver_.Resolve(path, entry);
  if (status != ERROR_SUCCESS) return status;
  if (entry.isDirectory()) return ERROR_ACCESS_DENIED;
  if (entry.exists() && (BitsOf(entry) & FILE_ATTRIBUTE_READONLY) != 0) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

Status FileStore::AfterWriting(const HostEntry& entry, bool existed) {
  const std::string key = entry.win.ToString();
  if (!existed) {
    resolver_.Made(entry);
    return attributes_.Forget(key);
  }
  return attributes_.Set(key, BitsOf(entry) | FILE_ATTRIBUTE_ARCHIVE, false);
}

Status FileStore::WriteAll(std::string_view path, std::string_view bytes) {
  HostEntry entry;
  const Status status = ResolveForWriting(path, entry);
  if (status != ERROR_SUCCESS) return status;
  const Status written = WriteHostFile(entry.host, bytes);
  if (written != ERROR_SUCCESS) return written;
  return AfterWriting(entry, entry.exists());
}

Status FileStore::Append(std::string_view path, std::string_view bytes) {
  HostEntry entry;
  const Status status = ResolveForWriting(path, entry);
  if (status != ERROR_SUCCESS) return status;
  const Status written = AppendHostFileDurably(entry.host, bytes);
  if (written != ERROR_SUCCESS) return written;
  return AfterWriting(entry, entry.exists());
}

Status FileStore::WriteProfileString(std::string_view file, std::string_view section,
                                     std::string_view key, std::string_view value) {
  HostEntry entry;
  Status status = ResolveForWriting(file, entry);
  if (status != ERROR_SUCCESS) return status;
  std::string text;
  if (entry.exists()) {
    status = ReadHostFile(entry.host, text);
    if (status != ERROR_SUCCESS) return status;
  }
  // The new text replaces the file whole (a link is written through): a program that dies
  // half-way leaves the file as it was, never cut short, as only the entry is backed up.
  const std::string changed = ini::SetEntry(text, section, key, value);
  status = entry.link ? WriteHostFile(entry.host, changed)
                      : ReplaceHostFile(entry.host, changed, machineDir_);
  if (status != ERROR_SUCCESS) return status;
  return AfterWriting(entry, entry.exists());
}

Status FileStore::ReadProfileString(std::string_view file, std::string_view section,
                                    std::string_view key, std::string& value) {
  std::string text;
  const Status status = ReadAll(file, text);
  // The profile functions cannot tell a missing file from a missing entry either.
  if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return ERROR_FILE_NOT_FOUND;
  if (status != ERROR_SUCCESS) return status;
  std::optional<std::string> found = ini::GetEntry(text, section, key);
  if (!found) return ERROR_FILE_NOT_FOUND;
  value = std::move(*found);
  return ERROR_SUCCESS;
}

}  // namespace vu::platform::sandbox
