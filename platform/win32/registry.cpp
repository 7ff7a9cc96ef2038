#include <windows.h>

#include "platform/win32/registry.h"

#include <algorithm>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace vu::platform::win32 {
namespace {

bool IsTextType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Stored bytes -> the seam's data: text types as UTF-8 with every stored character (NULs too).
std::string DataFromStored(DWORD type, const BYTE* bytes, DWORD size) {
  if (!IsTextType(type)) return std::string(reinterpret_cast<const char*>(bytes), size);
  std::wstring units(size / sizeof(wchar_t), L'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return Narrow(units);
}

// The bytes to store, followed by a non-NUL guard character that is not stored: NT (and Wine)
// silently count one more character for a text value when a NUL follows the given length, and
// the caller alone decides whether a NUL is stored.
std::vector<BYTE> StoredFromData(DWORD type, std::string_view data) {
  std::vector<BYTE> bytes;
  if (IsTextType(type)) {
    const std::wstring units = Wide(data);
    bytes.reserve(units.size() * 2 + 2);
    for (const wchar_t unit : units) {
      bytes.push_back(static_cast<BYTE>(unit & 0xFF));
      bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
  } else {
    bytes.assign(data.begin(), data.end());
  }
  bytes.push_back(0xFF);
  bytes.push_back(0xFF);
  return bytes;
}

// The predefined roots are 32-bit values, sign-extended to a pointer on 64-bit Windows.
bool RootHandle(RootKey root, HKEY& key) {
  if ((root & 0x80000000u) == 0 || root > 0x80000006u) return false;
  key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
  return true;
}

// Windows 9x reads "\Control Panel\desktop" as "Control Panel\desktop"; NT refuses the leading
// backslash, and the programs do write such paths.
std::wstring KeyPath(std::string_view path) {
  while (!path.empty() && path.front() == '\\')
    path.remove_prefix(1);
  return Wide(path);
}

// Full access where granted, read access where only that is (keys of other users, policies).
Status OpenWithFallback(HKEY parent, const std::wstring& path, KeyHandle& key) {
  LSTATUS status = ::RegOpenKeyExW(parent, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive());
  if (status == ERROR_ACCESS_DENIED) {
    status = ::RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, key.Receive());
  }
  return static_cast<Status>(status);
}

// Deletes |path| below |parent| after everything below it: NT and Wine refuse a key that still
// has subkeys. Subkeys are listed first, so deleting does not shift the enumeration.
Status DeleteBranch(HKEY parent, const std::wstring& path) {
  KeyHandle key;
  if (::RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | DELETE, key.Receive()) == ERROR_SUCCESS) {
    DWORD maxLength = 0;
    ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, &maxLength, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr);
    std::vector<std::wstring> children;
    std::vector<wchar_t> name(maxLength + 1);
    DWORD index = 0;
    for (;;) {
      DWORD length = static_cast<DWORD>(name.size());
      const LSTATUS status = ::RegEnumKeyExW(key.get(), index, name.data(), &length, nullptr,
                                             nullptr, nullptr, nullptr);
      if (status == ERROR_MORE_DATA) {
        name.resize(name.size() * 2 + 256);
        continue;
      }
      if (status != ERROR_SUCCESS) break;
      children.emplace_back(name.data(), length);
      ++index;
    }
    for (const std::wstring& child : children)
      DeleteBranch(key.get(), child);
  }
  return static_cast<Status>(::RegDeleteKeyW(parent, path.c_str()));
}

class Win32RegistryKey final : public RegistryKey {
 public:
  explicit Win32RegistryKey(KeyHandle key) : key_(std::move(key)) {}

  Status QueryValue(std::string_view name, std::uint32_t& type, std::string& data) override {
    const std::wstring wideName = Wide(name);
    std::vector<BYTE> buffer(256);
    for (;;) {
      DWORD storedType = 0;
      DWORD size = static_cast<DWORD>(buffer.size());
      const LSTATUS status = ::RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &storedType,
                                                buffer.data(), &size);
      if (status == ERROR_MORE_DATA) {
        buffer.resize(size + 2);
        continue;
      }
      if (status != ERROR_SUCCESS) return static_cast<Status>(status);
      type = storedType;
      data = DataFromStored(storedType, buffer.data(), size);
      return ERROR_SUCCESS;
    }
  }

  Status SetValue(std::string_view name, std::uint32_t type, std::string_view data) override {
    const std::vector<BYTE> bytes = StoredFromData(type, data);
    return static_cast<Status>(::RegSetValueExW(key_.get(), Wide(name).c_str(), 0, type,
                                                bytes.data(),
                                                static_cast<DWORD>(bytes.size() - 2)));
  }

  Status Flush() override { return static_cast<Status>(::RegFlushKey(key_.get())); }

  Status DeleteSubKey(std::string_view path) override {
    const std::wstring widePath = KeyPath(path);
    if (widePath.empty()) return ERROR_INVALID_PARAMETER;  // never the open key itself
    return DeleteBranch(key_.get(), widePath);
  }

  Status DeleteValue(std::string_view name) override {
    return static_cast<Status>(::RegDeleteValueW(key_.get(), Wide(name).c_str()));
  }

  Status EnumKey(std::uint32_t index, std::string& name) override {
    DWORD maxLength = 0;
    ::RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, nullptr, &maxLength, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr);
    std::vector<wchar_t> buffer(maxLength + 1);
    for (;;) {
      DWORD length = static_cast<DWORD>(buffer.size());
      const LSTATUS status = ::RegEnumKeyExW(key_.get(), index, buffer.data(), &length, nullptr,
                                             nullptr, nullptr, nullptr);
      if (status == ERROR_MORE_DATA) {  // a longer name added since the size was asked
        buffer.resize(buffer.size() * 2 + 256);
        continue;
      }
      if (status != ERROR_SUCCESS) return static_cast<Status>(status);
      name = Narrow(std::wstring_view(buffer.data(), length));
      return ERROR_SUCCESS;
    }
  }

  Status EnumValue(std::uint32_t index, std::string& name, std::uint32_t& type,
                   std::string& data) override {
    DWORD maxName = 0;
    DWORD maxData = 0;
    ::RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       &maxName, &maxData, nullptr, nullptr);
    std::vector<wchar_t> nameBuffer(maxName + 1);
    std::vector<BYTE> dataBuffer(maxData + 2);
    for (;;) {
      DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
      DWORD dataSize = static_cast<DWORD>(dataBuffer.size());
      DWORD storedType = 0;
      const LSTATUS status = ::RegEnumValueW(key_.get(), index, nameBuffer.data(), &nameLength,
                                             nullptr, &storedType, dataBuffer.data(), &dataSize);
      if (status == ERROR_MORE_DATA) {  // grown since the sizes were asked
        nameBuffer.resize(nameBuffer.size() * 2 + 256);
        dataBuffer.resize(std::max<std::size_t>(dataBuffer.size() * 2, dataSize + 2));
        continue;
      }
      if (status != ERROR_SUCCESS) return static_cast<Status>(status);
      name = Narrow(std::wstring_view(nameBuffer.data(), nameLength));
      type = storedType;
      data = DataFromStored(storedType, dataBuffer.data(), dataSize);
      return ERROR_SUCCESS;
    }
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
    const std::wstring widePath = KeyPath(path);
    KeyHandle handle;
    LSTATUS status = ::RegCreateKeyExW(rootKey, widePath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                       nullptr, handle.Receive(), nullptr);
    if (status == ERROR_ACCESS_DENIED) {
      status = ::RegCreateKeyExW(rootKey, widePath.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                 nullptr, handle.Receive(), nullptr);
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
