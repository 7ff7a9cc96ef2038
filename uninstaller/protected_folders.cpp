#include "uninstaller/protected_folders.h"

#include <algorithm>

#include "common/paths.h"
#include "platform/status.h"
#include "platform/text.h"

namespace vu::uninstaller {

namespace {

// The shell's folder numbers run below this; asking for each finds every special folder the
// system has, those of later Windows versions included, without a list to keep up to date.
constexpr int kSpecialFolderIds = 0x40;

// Upper case, "\" only, no doubled or trailing backslash (but a drive root's).
std::string Key(std::string_view path) {
  std::string key;
  for (char c : vu::platform::UpperCase(path)) {
    if (c == '/') c = '\\';
    if (c == '\\' && key.size() > 1 && key.back() == '\\') continue;
    key += c;
  }
  if (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

// |parent| is |path| itself or a folder above it.
bool IsAtOrAbove(const std::string& parent, const std::string& path) {
  if (parent == path) return true;
  const std::string prefix = parent.back() == '\\' ? parent : parent + "\\";
  return path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

ProtectedFolders::ProtectedFolders(vu::platform::Machine& machine)
    : windows_(Key(machine.system().WindowsDirectory())),
      system_(Key(machine.system().SystemDirectory())) {
  for (const std::string& folder : {windows_, system_}) {
    if (!folder.empty()) folders_.push_back(folder);
  }
  for (int csidl = 0; csidl < kSpecialFolderIds; ++csidl) {
    std::string path;
    if (machine.shell().SpecialFolderPath(csidl, path) != ERROR_SUCCESS) continue;
    path = path.substr(0, path.find('\0'));
    if (!path.empty()) folders_.push_back(Key(path));
  }
}

bool ProtectedFolders::IsProtected(std::string_view folder) const {
  const std::string key = Key(common::Trim(folder));
  if (key.empty() || common::IsDriveRoot(key)) return true;
  return std::any_of(folders_.begin(), folders_.end(),
                     [&](const std::string& special) { return IsAtOrAbove(key, special); });
}

bool ProtectedFolders::IsInSystemFolder(std::string_view file) const {
  const std::string folder = common::GetParentFolder(Key(file));
  return (!windows_.empty() && Key(folder) == windows_) ||
         (!system_.empty() && Key(folder) == system_);
}

}  // namespace vu::uninstaller
