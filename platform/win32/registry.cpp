#include <windows.h>

#include "platform/win32/registry.h"

#include <algorithm>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/registry_calls.h"

namespace vu::platform::win32 {
namespace {

// The predefined roots are 32-bit values, sign-extended to a pointer on 64-bit Windows.
bool RootHandle(RootKey root, HKEY& key) {
  if ((root & 0x80000000u) == 0 || root > 0x80000006u) return false;
  key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
  return true;
}

// Windows 9x reads "\Control Panel\desktop" as "Control Panel\desktop"; NT refuses the leading
// backslash, and the programs do write such paths.
std::string_view KeyPath(std::string_view path) {
  while (!path.empty() && path.front() == '\\')
    path.remove_prefix(1);
  return path;
}

// Full access where granted, read access where only that is (keys of other users, policies).
Status OpenWithFallback(HKEY parent, std::string_view path, KeyHandle& key) {
  LSTATUS status = OpenKeyIn(parent, path, KEY_ALL_ACCESS, key);
  if (status == ERROR_ACCESS_DENIED) status = OpenKeyIn(parent, path, KEY_READ, key);
  return static_cast<Status>(status);
}

// Deletes |path| below |parent| after everything below it: NT and Wine refuse a key that still
// has subkeys. Subkeys are listed first, so deleting does not shift the enumeration.
Status DeleteBranch(HKEY parent, std::string_view path) {
  KeyHandle key;
  if (OpenKeyIn(parent, path, KEY_READ | DELETE, key) == ERROR_SUCCESS) {
    std::vector<std::string> children;
    std::string child;
    for (DWORD index = 0; EnumKeyOf(key.get(), index, child) == ERROR_SUCCESS; ++index)
      children.push_back(child);
    for (const std::string& name : children)
      DeleteBranch(key.get(), name);
  }
  return static_cast<Status>(DeleteKeyIn(parent, path));
}

class Win32RegistryKey final : public RegistryKey {
 public:
  explicit Win32RegistryKey(KeyHandle key) : key_(std::move(key)) {}

  Status QueryValue(std::string_view name, std::uint32_t& type, std::string& data) override {
    DWORD storedType = 0;
    const LSTATUS status = QueryValueOf(key_.get(), name, storedType, data);
    if (status == ERROR_SUCCESS) type = storedType;
    return static_cast<Status>(status);
  }

  Status SetValue(std::string_view name, std::uint32_t type, std::string_view data) override {
    return static_cast<Status>(SetValueOf(key_.get(), name, type, data));
  }

  Status Flush() override { return static_cast<Status>(::RegFlushKey(key_.get())); }

  Status DeleteSubKey(std::string_view path) override {
    path = KeyPath(path);
    if (path.empty()) return ERROR_INVALID_PARAMETER;  // never the open key itself
    return DeleteBranch(key_.get(), path);
  }

  Status DeleteValue(std::string_view name) override {
    return static_cast<Status>(DeleteValueOf(key_.get(), name));
  }

  Status EnumKey(std::uint32_t index, std::string& name) override {
    return static_cast<Status>(EnumKeyOf(key_.get(), index, name));
  }

  Status EnumValue(std::uint32_t index, std::string& name, std::uint32_t& type,
                   std::string& data) override {
    DWORD storedType = 0;
    const LSTATUS status = EnumValueOf(key_.get(), index, name, storedType, data);
    if (status == ERROR_SUCCESS) type = storedType;
    return static_cast<Status>(status);
  }

 private:
  KeyHandle key_;
};

class Win32Registry final : public Registry {
 public:
  Status OpenKey(RootKey root, std::string_view path, std::unique_ptr<RegistryKey>& key) override {
    key.reset();
    HKEY rootKey = nullptr;
    if (!RootHandle(root, rootKey)) return ERROR_INVALID_HANDLE;
    KeyHandle handle;
    const Status status = OpenWithFallback(rootKey, KeyPath(path), handle);
    if (status == ERROR_SUCCESS) key = std::make_unique<Win32RegistryKey>(std::move(handle));
    return status;
  }

  Status CreateKey(RootKey root, std::string_view path,
                   std::unique_ptr<RegistryKey>& key) override {
    key.reset();
    HKEY rootKey = nullptr;
    if (!RootHandle(root, rootKey)) return ERROR_INVALID_HANDLE;
    KeyHandle handle;
    LSTATUS status = CreateKeyIn(rootKey, KeyPath(path), KEY_ALL_ACCESS, handle);
    if (status == ERROR_ACCESS_DENIED) {
      status = CreateKeyIn(rootKey, KeyPath(path), KEY_READ | KEY_WRITE, handle);
    }
    if (status == ERROR_SUCCESS) key = std::make_unique<Win32RegistryKey>(std::move(handle));
    return static_cast<Status>(status);
  }
};

}  // namespace

std::unique_ptr<Registry> MakeRegistry() {
  return std::make_unique<Win32Registry>();
}

}  // namespace vu::platform::win32
