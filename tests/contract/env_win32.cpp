// The Windows contract environment: the real machine (Wine under test), a scratch folder below
// %TEMP% and a scratch key below HKEY_CURRENT_USER, both removed when the test ends.
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/win32/machine.h"
#include "tests/contract/env.h"

namespace vu::contract {
namespace {

constexpr const char* kKeyParent = "Software\\VU Contract";

std::string UniqueName() {
  std::random_device random;
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return std::to_string(ticks) + "-" + std::to_string(random());
}

std::string TempFolder() {
  const wchar_t* temp = _wgetenv(L"TEMP");
  if (temp == nullptr || *temp == 0) return "C:";
  std::string folder = vu::platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(temp));
  while (!folder.empty() && folder.back() == '\\')
    folder.pop_back();
  return folder;
}

// Removes |folder| with everything in it, through the seam; read-only files included.
void RemoveTree(vu::platform::FileSystem& files, const std::string& folder) {
  std::vector<std::pair<std::string, bool>> entries;
  vu::platform::FindData entry;
  std::unique_ptr<vu::platform::Listing> listing;
  if (files.FindFirst(folder + "\\*.*", entry, listing) == ERROR_SUCCESS) {
    do {
      if (entry.name != "." && entry.name != "..") {
        entries.emplace_back(folder + "\\" + entry.name,
                             (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
      }
    } while (listing->Next(entry));
  }
  listing.reset();
  for (const auto& [path, isFolder] : entries) {
    if (isFolder) {
      RemoveTree(files, path);
    } else {
      files.SetAttributes(path, 0);
      files.Remove(path);
    }
  }
  files.RemoveDirectory(folder);
}

class Win32Env : public ContractEnv {
 public:
  ~Win32Env() override {
    if (!machine_) return;
    if (!scratchFolder_.empty()) RemoveTree(machine_->files(), scratchFolder_);
    std::unique_ptr<vu::platform::RegistryKey> root;
    if (machine_->registry().OpenKey(HKEY_CURRENT_USER, "", root) == ERROR_SUCCESS) {
      root->DeleteSubKey(scratchKey_);
      // The shared parent goes when the last test's key is gone.
      std::unique_ptr<vu::platform::RegistryKey> parent;
      std::string name;
      if (machine_->registry().OpenKey(HKEY_CURRENT_USER, kKeyParent, parent) == ERROR_SUCCESS &&
          parent->EnumKey(0, name) == ERROR_NO_MORE_ITEMS) {
        parent.reset();
        root->DeleteSubKey(kKeyParent);
      }
    }
  }

  bool Open(std::string* error) {
    machine_ = vu::platform::win32::OpenWin32Machine();
    if (!machine_) {
      *error = "cannot open the Win32 machine";
      return false;
    }
    const std::string unique = UniqueName();
    const std::string folder = TempFolder() + "\\vu-contract-" + unique;
    if (machine_->files().MakeDirectory(folder) != ERROR_SUCCESS) {
      *error = "cannot make " + folder;
      return false;
    }
    scratchFolder_ = folder;
    scratchKey_ = std::string(kKeyParent) + "\\" + unique;
    traits_.valuesInCreationOrder = false;
    traits_.listingSorted = false;
    traits_.archiveAlwaysSet = true;
    return true;
  }

  vu::platform::Machine& machine() override { return *machine_; }

 private:
  std::unique_ptr<vu::platform::Machine> machine_;
};

}  // namespace

std::unique_ptr<ContractEnv> OpenContractEnv(std::string* error) {
  auto env = std::make_unique<Win32Env>();
  if (!env->Open(error)) return nullptr;
  return env;
}

}  // namespace vu::contract
