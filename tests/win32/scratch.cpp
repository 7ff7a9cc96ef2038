#include "tests/win32/scratch.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "platform/win32/machine.h"

namespace vu::win32_tests {

std::string UniqueName(const std::string& stem) {
  const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  return stem + "-" + std::to_string(ticks);
}

void Win32Test::SetUp() {
  machine_ = platform::win32::OpenWin32Machine();
  const std::u8string temp = std::filesystem::temp_directory_path().u8string();
  std::string base(temp.begin(), temp.end());
  while (!base.empty() && base.back() == '\\')
    base.pop_back();
  folder_ = base + "\\" + UniqueName("vu-win32");
  ASSERT_EQ(files().MakeDirectory(folder_), ERROR_SUCCESS) << folder_;
  key_ = "Software\\VelloriaWin32Tests\\" + UniqueName("k");
}

void Win32Test::TearDown() {
  std::error_code ignored;
  const std::u8string folder(folder_.begin(), folder_.end());
  std::filesystem::remove_all(std::filesystem::path(folder), ignored);
  std::unique_ptr<platform::RegistryKey> software;
  if (registry().OpenKey(HKEY_CURRENT_USER, "Software", software) != ERROR_SUCCESS) return;
  software->DeleteSubKey(key_.substr(std::string("Software\\").size()));
  std::unique_ptr<platform::RegistryKey> parent;
  std::string child;
  if (registry().OpenKey(HKEY_CURRENT_USER, "Software\\VelloriaWin32Tests", parent) ==
          ERROR_SUCCESS &&
      parent->EnumKey(0, child) != ERROR_SUCCESS) {
    parent.reset();
    software->DeleteSubKey("VelloriaWin32Tests");
  }
}

std::vector<std::string> Win32Test::ListNames(const std::string& pattern) {
  std::vector<std::string> names;
  platform::FindData entry;
  std::unique_ptr<platform::Listing> listing;
  if (files().FindFirst(pattern, entry, listing) != ERROR_SUCCESS) return names;
  do {
    if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
  } while (listing->Next(entry));
  return names;
}

}  // namespace vu::win32_tests
