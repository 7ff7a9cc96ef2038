#include "platform/registry_path.h"

#include <array>

#include "platform/text.h"

namespace vu::platform {

namespace {

struct RootNames {
  RootKey root;
  std::string_view name;
  std::string_view abbreviation;
};

constexpr std::array<RootNames, 4> kRoots{{
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
    {HKEY_USERS, "HKEY_USERS", "HKU"},
}};

}  // namespace

std::vector<std::string_view> SplitKeyPath(std::string_view path) {
  std::vector<std::string_view> segments;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) segments.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return segments;
}

std::string NormalizeKeyPath(std::string_view path) {
  std::string out;
  for (std::string_view segment : SplitKeyPath(path)) {
    if (!out.empty()) out += '\\';
    out += segment;
  }
  return out;
}

std::optional<RootKey> ParseRootName(std::string_view name) {
  for (const RootNames& r : kRoots) {
    if (EqualsNoCase(name, r.name) || EqualsNoCase(name, r.abbreviation)) return r.root;
  }
  return std::nullopt;
}

std::string_view RootName(RootKey root) {
  for (const RootNames& r : kRoots) {
    if (r.root == root) return r.name;
  }
  return {};
}

bool ParseFullKeyName(std::string_view fullName, RootKey& root, std::string& path) {
  const std::size_t slash = fullName.find('\\');
  const std::optional<RootKey> parsed = ParseRootName(fullName.substr(0, slash));
  if (!parsed) return false;
  root = *parsed;
  path = slash == std::string_view::npos ? std::string() : NormalizeKeyPath(fullName.substr(slash));
  return true;
}

}  // namespace vu::platform
