#include "common/paths.h"

#include <memory>

#include "platform/status.h"

namespace vu::common {

namespace {

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// "/" as "\", doubled backslashes as one but the leading two of a network name, and no trailing
// backslash but the one of a drive root.
std::string Normalised(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i] == '/' ? '\\' : path[i];
    if (c == '\\' && i >= 2 && !out.empty() && out.back() == '\\') continue;
    out += c;
  }
  if (out.size() > 3 && out.back() == '\\') out.pop_back();
  return out;
}

}  // namespace

std::string QualifyPath(std::string_view path) {
  if (path.empty() || path.back() == '\\') return std::string(path);
  std::string qualified(path);
  qualified += '\\';
  return qualified;
}

std::string GetParentFolder(std::string_view path) {
  const std::size_t last = path.rfind('\\');
  if (last == std::string_view::npos) return std::string(path);
  return std::string(path.substr(0, last));
}

bool IsDriveRoot(std::string_view path) {
  if (path.size() < 2 || path.size() > 3) return false;
  if (!IsDriveLetter(path[0]) || path[1] != ':') return false;
  return path.size() == 2 || IsSeparator(path[2]);
}

std::string DriveRoot(std::string_view path) {
  if (path.size() < 2 || !IsDriveLetter(path[0]) || path[1] != ':') return std::string();
  return std::string(path.substr(0, 2)) + "\\";
}

bool SamePath(std::string_view a, std::string_view b) {
  return vu::platform::EqualsNoCase(Normalised(a), Normalised(b));
}

std::string QuoteIfBlank(std::string_view text) {
  if (text.find(' ') == std::string_view::npos) return std::string(text);
  return "\"" + std::string(text) + "\"";
}

VbBool IsFolderEmpty(vu::platform::FileSystem& files, std::string_view folder) {
  vu::platform::FindData entry;
  std::unique_ptr<vu::platform::Listing> listing;
  if (files.FindFirstNames(QualifyPath(folder) + "*.*", entry, listing) != ERROR_SUCCESS ||
      !listing) {
    return kFalse;
  }
  while (!entry.name.empty() && entry.name.front() == '.') {
    if (!listing->Next(entry)) return kTrue;
  }
  return kFalse;
}

bool PathExists(vu::platform::FileSystem& files, std::string_view path) {
  return files.Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace vu::common
