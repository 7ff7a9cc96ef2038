// The registry, as the programs use it: open or create a key below one of the four roots, then
// query, set, flush, enumerate and delete through the open key. Closing is the key's destructor.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/status.h"

namespace vu::platform {

// One open registry key (an HKEY). Not copyable; destroying it closes the key.
//
// Data travels as std::string: for the text types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) it is the
// stored characters as UTF-8, terminating NUL included when one is stored (exactly what the ANSI
// API hands back, minus the code page); for every other type it is the raw bytes.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  virtual ~RegistryKey() = default;

  // RegQueryValueEx. An empty name is the key's default value.
  virtual Status QueryValue(std::string_view name, std::uint32_t& type, std::string& data) = 0;
  // RegSetValueEx: stores |data| as given (the caller decides whether a NUL is stored).
  virtual Status SetValue(std::string_view name, std::uint32_t type, std::string_view data) = 0;
  // RegFlushKey: everything written so far is durable when this returns ERROR_SUCCESS.
  virtual Status Flush() = 0;
  // Deletes the subkey |path| of this key with its whole branch, on every Windows.
  virtual Status DeleteSubKey(std::string_view path) = 0;
  // RegDeleteValue.
  virtual Status DeleteValue(std::string_view name) = 0;
  // RegEnumKey: the name of the subkey at |index|; ERROR_NO_MORE_ITEMS past the last one.
  virtual Status EnumKey(std::uint32_t index, std::string& name) = 0;
  // RegEnumValue: name, type and data of the value at |index|; ERROR_NO_MORE_ITEMS past the last.
  virtual Status EnumValue(std::uint32_t index, std::string& name, std::uint32_t& type,
                           std::string& data) = 0;
};

class Registry {
 public:
  Registry() = default;
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;
  virtual ~Registry() = default;

  // RegOpenKey: opens an existing key. An empty path opens the root itself.
  virtual Status OpenKey(RootKey root, std::string_view path,
                         std::unique_ptr<RegistryKey>& key) = 0;
  // RegCreateKey: opens the key, creating it and every missing key on the path.
  virtual Status CreateKey(RootKey root, std::string_view path,
                           std::unique_ptr<RegistryKey>& key) = 0;

  // Says that the caller is about to delete each of |values| (a key's path and a value's name)
  // with RegistryKey::DeleteValue, one call each, and changes nothing. A registry that keeps what
  // is deleted (the Optimizer's backup) records them all at once, with one flush to the disk
  // instead of one per value; the others have no use for it.
  using ValueName = std::pair<std::string, std::string>;
  virtual void ExpectValueDeletions(RootKey /*root*/, const std::vector<ValueName>& /*values*/) {}
};

}  // namespace vu::platform
