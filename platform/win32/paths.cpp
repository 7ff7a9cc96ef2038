#include "platform/win32/paths.h"

#include <vector>

namespace vu::platform::win32 {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsDriveAbsolute(std::string_view p) {
  const bool letter =
      (p.size() >= 3) && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
  return letter && p[1] == ':' && IsSeparator(p[2]);
}

bool IsUnc(std::string_view p) {
  return p.size() >= 3 && IsSeparator(p[0]) && IsSeparator(p[1]) && !IsSeparator(p[2]);
}

std::string WithBackslashes(std::string_view p) {
  std::string out(p);
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

// Splits |rest| into its components and resolves "." and "..", never climbing above the root
// (the system does the same for a path that starts with a drive or share).
std::string NormaliseComponents(std::string_view rest) {
  std::vector<std::string_view> parts;
  std::size_t i = 0;
  while (i <= rest.size()) {
    std::size_t j = i;
    while (j < rest.size() && !IsSeparator(rest[j]))
      ++j;
    const std::string_view part = rest.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out;
  for (std::size_t k = 0; k < parts.size(); ++k) {
    if (k > 0) out += '\\';
    out += parts[k];
  }
  // A trailing separator is meaningful to some calls (a folder root, "dir\"); keep it.
  if (!rest.empty() && IsSeparator(rest.back()) && !out.empty()) out += '\\';
  return out;
}

}  // namespace

std::string PrepareFilePath(std::string_view path) {
  if (path.size() >= 4 && path.substr(0, 4) == "\\\\?\\") return std::string(path);
  if (path.size() < kLongPathThreshold) return WithBackslashes(path);
  if (IsDriveAbsolute(path)) {
    std::string out = "\\\\?\\";
    out += path.substr(0, 2);
    out += '\\';
    out += NormaliseComponents(path.substr(3));
    return out;
  }
  if (IsUnc(path)) {
    // "\\server\share" stays the root: ".." never climbs above the share.
    std::size_t i = 2;
    for (int part = 0; part < 2 && i <= path.size(); ++part) {
      while (i < path.size() && !IsSeparator(path[i]))
        ++i;
      if (part == 0) ++i;
    }
    std::string out = "\\\\?\\UNC\\" + WithBackslashes(path.substr(2, i - 2));
    if (i < path.size()) {
      const std::string rest = NormaliseComponents(path.substr(i + 1));
      if (!rest.empty()) out += '\\' + rest;
    }
    return out;
  }
  return WithBackslashes(path);
}

std::string FolderOf(std::string_view path) {
  const std::size_t last = path.find_last_of("\\/");
  if (last == std::string_view::npos) return {};
  if (last == 2 && path.size() >= 3 && path[1] == ':') return WithBackslashes(path.substr(0, 3));
  return WithBackslashes(path.substr(0, last));
}

}  // namespace vu::platform::win32
