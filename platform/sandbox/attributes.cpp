#include "platform/sandbox/attributes.h"

#include <charconv>

#include "platform/sandbox/host_io.h"
#include "platform/text.h"

namespace vu::platform::sandbox {
namespace {

std::string KeyOf(std::string_view winPath) {
  return UpperCase(winPath);
}

// Whether |key| is |folder| itself or lies below it.
bool IsWithin(const std::string& key, const std::string& folder) {
  if (key.compare(0, folder.size(), folder) != 0) return false;
  if (key.size() == folder.size()) return true;
  return folder.back() == '\\' || key[folder.size()] == '\\';
}

}  // namespace

std::uint32_t DefaultAttributes(bool isDirectory) {
  return isDirectory ? 0 : FILE_ATTRIBUTE_ARCHIVE;
}

std::uint32_t ReportedAttributes(std::uint32_t bits, bool isDirectory, bool isLink) {
  std::uint32_t attributes = bits & kSettableAttributes;
  if (isDirectory) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (isLink) attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

AttributeStore::AttributeStore(std::string file) : file_(std::move(file)), watched_(file_) {}

void AttributeStore::Refresh() {
  const FileStamp now = watched_.Stamp();
  if (loaded_ && *loaded_ == now) return;
  entries_.clear();
  loaded_ = now;
  if (!now.exists) return;
  const Status read = ForEachHostLine(file_, [this](std::string_view line) {
    if (line.empty() || line.front() == '#') return;
    const std::size_t blank = line.find(' ');
    std::uint32_t bits = 0;
    if (blank == std::string_view::npos || blank + 1 == line.size()) return;
    const auto [ptr, ec] = std::from_chars(line.data(), line.data() + blank, bits);
    if (ec != std::errc() || ptr != line.data() + blank) return;  // not ours: skipped
    entries_[KeyOf(line.substr(blank + 1))] = bits & kSettableAttributes;
  });
  if (read != ERROR_SUCCESS) entries_.clear();
}

Status AttributeStore::Save() {
  std::string text = "# DOS attributes of the files that differ from the default\n";
  for (const auto& [key, bits] : entries_)
    text += std::to_string(bits) + " " + key + "\n";
  const Status status = ReplaceHostFile(file_, text);
  // After a failure, read the file again on next use rather than trust the memory.
  loaded_.reset();
  if (status == ERROR_SUCCESS) loaded_ = watched_.Stamp();
  return status;
}

std::uint32_t AttributeStore::Get(std::string_view winPath, bool isDirectory) const {
  const auto found = entries_.find(KeyOf(winPath));
  return found == entries_.end() ? DefaultAttributes(isDirectory) : found->second;
}

bool AttributeStore::AnyWithin(std::string_view winPath) const {
  std::string prefix = KeyOf(winPath);
  if (prefix.empty() || prefix.back() != '\\') prefix += '\\';
  const auto next = entries_.lower_bound(prefix);
  return next != entries_.end() && next->first.compare(0, prefix.size(), prefix) == 0;
}

Status AttributeStore::Set(std::string_view winPath, std::uint32_t bits, bool isDirectory) {
  Refresh();
  bits &= kSettableAttributes;
  const std::string key = KeyOf(winPath);
  const auto found = entries_.find(key);
  if (bits == DefaultAttributes(isDirectory)) {
    if (found == entries_.end()) return ERROR_SUCCESS;
    entries_.erase(found);
  } else {
    if (found != entries_.end() && found->second == bits) return ERROR_SUCCESS;
    entries_[key] = bits;
  }
  return Save();
}

Status AttributeStore::Forget(std::string_view winPath) {
  Refresh();
  const std::string folder = KeyOf(winPath);
  bool changed = false;
  // Every key below the folder starts with the folder's text, but so do siblings such as
  // "C:\A B" for "C:\A", which sort in between.
  for (auto it = entries_.lower_bound(folder);
       it != entries_.end() && it->first.compare(0, folder.size(), folder) == 0;) {
    if (IsWithin(it->first, folder)) {
      it = entries_.erase(it);
      changed = true;
    } else {
      ++it;
    }
  }
  return changed ? Save() : ERROR_SUCCESS;
}

}  // namespace vu::platform::sandbox
