#include <windows.h>

#include "platform/win32/registry_calls.h"

#include <algorithm>
#include <vector>

#include "platform/win32/family.h"
#include "platform/win32/wide.h"

namespace vu::platform::win32 {
namespace {

bool IsTextType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The 64-bit view for a 32-bit program on 64-bit Windows; nothing elsewhere (Windows 9x knows no
// such flag).
REGSAM View() {
  return UnderWow64() ? KEY_WOW64_64KEY : 0;
}

// Stored bytes -> the seam's data.
std::string DataFromStored(DWORD type, const BYTE* bytes, DWORD size) {
  if (!IsTextType(type)) return std::string(reinterpret_cast<const char*>(bytes), size);
  if (!WideCalls()) return FromAnsi(std::string_view(reinterpret_cast<const char*>(bytes), size));
  std::wstring units(size / sizeof(wchar_t), L'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return Narrow(units);
}

// The bytes to store, followed by a guard that is not stored: on NT a non-NUL one, because NT
// (and Wine) silently count one more character for a text value when a NUL follows the given
// length, and the caller alone decides whether a NUL is stored; on Windows 9x a NUL, because it
// stores a text value up to its first NUL whatever length is given. Returns the length to store.
DWORD StoredFromData(DWORD type, std::string_view data, std::vector<BYTE>& bytes) {
  bytes.clear();
  if (IsTextType(type) && WideCalls()) {
    const std::wstring units = Wide(data);
    bytes.reserve(units.size() * 2 + 2);
    for (const wchar_t unit : units) {
      bytes.push_back(static_cast<BYTE>(unit & 0xFF));
      bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
  } else if (IsTextType(type)) {
    const std::string ansi = Ansi(data);
    bytes.assign(ansi.begin(), ansi.end());
  } else {
    bytes.assign(data.begin(), data.end());
  }
  const DWORD size = static_cast<DWORD>(bytes.size());
  const BYTE guard = WideCalls() || !IsTextType(type) ? 0xFF : 0x00;
  bytes.push_back(guard);
  bytes.push_back(guard);
  return size;
}

}  // namespace

LSTATUS OpenKeyIn(HKEY parent, std::string_view path, REGSAM access, KeyHandle& key) {
  if (WideCalls()) {
    return ::RegOpenKeyExW(parent, Wide(path).c_str(), 0, access | View(), key.Receive());
  }
  return ::RegOpenKeyExA(parent, Ansi(path).c_str(), 0, access, key.Receive());
}

LSTATUS CreateKeyIn(HKEY parent, std::string_view path, REGSAM access, KeyHandle& key) {
  if (WideCalls()) {
    return ::RegCreateKeyExW(parent, Wide(path).c_str(), 0, nullptr, 0, access | View(), nullptr,
                             key.Receive(), nullptr);
  }
  return ::RegCreateKeyExA(parent, Ansi(path).c_str(), 0, nullptr, 0, access, nullptr,
                           key.Receive(), nullptr);
}

LSTATUS DeleteKeyIn(HKEY parent, std::string_view path) {
  if (!WideCalls()) return ::RegDeleteKeyA(parent, Ansi(path).c_str());
  if (UnderWow64()) {
    // RegDeleteKeyW would delete in the 32-bit view; RegDeleteKeyExW exists from XP x64 on.
    using DeleteKeyExFn = LSTATUS(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
    static const auto deleteKeyEx = FindFunction<DeleteKeyExFn>("advapi32.dll", "RegDeleteKeyExW");
    if (deleteKeyEx != nullptr) return deleteKeyEx(parent, Wide(path).c_str(), View(), 0);
  }
  return ::RegDeleteKeyW(parent, Wide(path).c_str());
}

LSTATUS QueryValueOf(HKEY key, std::string_view name, DWORD& type, std::string& data) {
  const std::wstring wideName = WideCalls() ? Wide(name) : std::wstring();
  const std::string ansiName = WideCalls() ? std::string() : Ansi(name);
  std::vector<BYTE> buffer(256);
  for (;;) {
    DWORD storedType = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    const LSTATUS status =
        WideCalls()
            ? ::RegQueryValueExW(key, wideName.c_str(), nullptr, &storedType, buffer.data(), &size)
            : ::RegQueryValueExA(key, ansiName.c_str(), nullptr, &storedType, buffer.data(), &size);
    if (status == ERROR_MORE_DATA) {
      buffer.resize(size + 2);
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    type = storedType;
    data = DataFromStored(storedType, buffer.data(), size);
    return ERROR_SUCCESS;
  }
}

LSTATUS SetValueOf(HKEY key, std::string_view name, DWORD type, std::string_view data) {
  std::vector<BYTE> bytes;
  const DWORD size = StoredFromData(type, data, bytes);
  if (WideCalls()) return ::RegSetValueExW(key, Wide(name).c_str(), 0, type, bytes.data(), size);
  return ::RegSetValueExA(key, Ansi(name).c_str(), 0, type, bytes.data(), size);
}

LSTATUS DeleteValueOf(HKEY key, std::string_view name) {
  if (WideCalls()) return ::RegDeleteValueW(key, Wide(name).c_str());
  return ::RegDeleteValueA(key, Ansi(name).c_str());
}

LSTATUS EnumKeyOf(HKEY key, DWORD index, std::string& name) {
  DWORD maxLength = 0;
  if (WideCalls()) {
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &maxLength, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr);
  } else {
    ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &maxLength, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr);
  }
  // Room for a name in either form (an ANSI name may take two bytes a character).
  std::vector<wchar_t> wide(maxLength + 1);
  std::vector<char> ansi(2 * maxLength + 2);
  for (;;) {
    DWORD length = static_cast<DWORD>(WideCalls() ? wide.size() : ansi.size());
    const LSTATUS status =
        WideCalls()
            ? ::RegEnumKeyExW(key, index, wide.data(), &length, nullptr, nullptr, nullptr, nullptr)
            : ::RegEnumKeyExA(key, index, ansi.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) {  // a longer name added since the size was asked
      wide.resize(wide.size() * 2 + 256);
      ansi.resize(ansi.size() * 2 + 512);
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    name = WideCalls() ? Narrow(std::wstring_view(wide.data(), length))
                       : FromAnsi(std::string_view(ansi.data(), length));
    return ERROR_SUCCESS;
  }
}

LSTATUS EnumValueOf(HKEY key, DWORD index, std::string& name, DWORD& type, std::string& data) {
  DWORD maxName = 0;
  DWORD maxData = 0;
  if (WideCalls()) {
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName,
                       &maxData, nullptr, nullptr);
  } else {
    ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName,
                       &maxData, nullptr, nullptr);
  }
  std::vector<wchar_t> wide(maxName + 1);
  std::vector<char> ansi(2 * maxName + 2);
  std::vector<BYTE> dataBuffer(maxData + 2);
  for (;;) {
    DWORD nameLength = static_cast<DWORD>(WideCalls() ? wide.size() : ansi.size());
    DWORD dataSize = static_cast<DWORD>(dataBuffer.size());
    DWORD storedType = 0;
    const LSTATUS status = WideCalls()
                               ? ::RegEnumValueW(key, index, wide.data(), &nameLength, nullptr,
                                                 &storedType, dataBuffer.data(), &dataSize)
                               : ::RegEnumValueA(key, index, ansi.data(), &nameLength, nullptr,
                                                 &storedType, dataBuffer.data(), &dataSize);
    if (status == ERROR_MORE_DATA) {  // grown since the sizes were asked
      wide.resize(wide.size() * 2 + 256);
      ansi.resize(ansi.size() * 2 + 512);
      dataBuffer.resize(std::max<std::size_t>(dataBuffer.size() * 2, dataSize + 2));
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    name = WideCalls() ? Narrow(std::wstring_view(wide.data(), nameLength))
                       : FromAnsi(std::string_view(ansi.data(), nameLength));
    type = storedType;
    data = DataFromStored(storedType, dataBuffer.data(), dataSize);
    return ERROR_SUCCESS;
  }
}

}  // namespace vu::platform::win32
