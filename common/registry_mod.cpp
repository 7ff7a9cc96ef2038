#include "common/registry_mod.h"

#include <memory>

#include "platform/text.h"

namespace vu::common {
namespace {

using vu::platform::RegistryKey;

// The types whose data the seam hands over as UTF-8 text.
bool IsTextType(std::uint32_t type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The length the ANSI call would report for the data, in bytes.
std::size_t StoredLength(std::uint32_t type, std::string_view data) {
  return IsTextType(type) ? AnsiLength(data) : data.size();
}

bool NameFits(std::string_view name) {
  return AnsiLength(name) + 1 <= kRegistryBufferSize;
}

// The unsigned little-endian value of the first four bytes (missing bytes count as 0), in
// decimal with at least three digits.
std::string FormatDword(std::string_view data) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4 && i < data.size(); ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  }
  std::string text = std::to_string(value);
  if (text.size() < 3) text.insert(0, 3 - text.size(), '0');
  return text;
}

std::string HexPairs(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

// "The first (length - 1) characters": the data less its last character, which for a text
// stored with its terminator is the NUL. Non-text data becomes the characters of its bytes.
std::string DropLastCharacter(std::uint32_t type, std::string_view data) {
  if (data.empty()) return std::string();
  if (!IsTextType(type)) return TextOfBytes(data.substr(0, data.size() - 1));
  std::size_t cut = data.size() - 1;
  if (vu::platform::IsValidUtf8(data)) {
    while (cut > 0 && (static_cast<unsigned char>(data[cut]) & 0xC0) == 0x80)
      --cut;
  }
  return std::string(data.substr(0, cut));
}

// The data as text for a text type: text that is not UTF-8 is taken as ANSI bytes.
std::string AsText(const RegistryData& data) {
  std::string text = DataToText(data);
  return vu::platform::IsValidUtf8(text) ? text : TextOfBytes(text);
}

std::string DwordBytes(const RegistryData& data) {
  const auto value = static_cast<std::uint32_t>(DataToLong(data).value_or(0));
  std::string bytes(4, '\0');
  for (std::size_t i = 0; i < 4; ++i)
    bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

Status WriteValue(Registry& registry, RootKey root, std::string_view subkey, std::string_view name,
                  std::uint32_t type, std::string_view payload) {
  std::unique_ptr<RegistryKey> key;
  const Status created = registry.CreateKey(root, subkey, key);
  if (!key) return created != ERROR_SUCCESS ? created : ERROR_INVALID_HANDLE;
  const Status set = key->SetValue(name, type, payload);
  const Status flushed = key->Flush();
  return set != ERROR_SUCCESS ? set : flushed;
}

}  // namespace

std::string GetRegistryString(Registry& registry, RootKey root, std::string_view subkey,
                              std::string_view name) {
  std::unique_ptr<RegistryKey> key;
  registry.OpenKey(root, subkey, key);
  if (!key) return std::string(kRegistryNotFound);
  std::uint32_t type = 0;
  std::string data;
  if (key->QueryValue(name, type, data) != ERROR_SUCCESS) return std::string(kRegistryNotFound);
  if (StoredLength(type, data) > kRegistryBufferSize) return std::string(kRegistryNotFound);
  switch (type) {
    case REG_DWORD:
      return FormatDword(data);
    case REG_BINARY:
      return HexPairs(data);
    default:
      return DropLastCharacter(type, data);
  }
}

Status SetRegistryValueChecked(Registry& registry, RootKey root, std::string_view subkey,
                               std::string_view name, std::uint32_t type,
                               const RegistryData& data) {
  std::string payload;
  if (type == REG_DWORD) {
    payload = DwordBytes(data);
  } else if (type == REG_SZ) {
    payload = AsText(data) + '\0';
  } else if (IsTextType(type)) {
    payload = AsText(data);
  } else {
    payload = BytesOfText(DataToText(data));
  }
  return WriteValue(registry, root, subkey, name, type, payload);
}

void SetRegistryValue(Registry& registry, RootKey root, std::string_view subkey,
                      std::string_view name, std::uint32_t type, const RegistryData& data) {
  SetRegistryValueChecked(registry, root, subkey, name, type, data);
}

Status SetRegistryValueInstallerChecked(Registry& registry, RootKey root, std::string_view subkey,
                                        std::string_view name, std::uint32_t type,
                                        const RegistryData& data) {
  if (type == REG_DWORD) {
    return WriteValue(registry, root, subkey, name, REG_DWORD, DwordBytes(data));
  }
  std::string payload = AsText(data);
  if (type == REG_SZ) payload += '\0';
  return WriteValue(registry, root, subkey, name, REG_SZ, payload);
}

void SetRegistryValueInstaller(Registry& registry, RootKey root, std::string_view subkey,
                               std::string_view name, std::uint32_t type,
                               const RegistryData& data) {
  SetRegistryValueInstallerChecked(registry, root, subkey, name, type, data);
}

Status DeleteRegistryKeyChecked(Registry& registry, RootKey root, std::string_view subkey) {
  // Deleting the root's own branch would empty the whole root on every back end.
  if (subkey.find_first_not_of('\\') == std::string_view::npos) return ERROR_INVALID_PARAMETER;
  std::unique_ptr<RegistryKey> rootKey;
  const Status opened = registry.OpenKey(root, "", rootKey);
  if (!rootKey) return opened != ERROR_SUCCESS ? opened : ERROR_INVALID_HANDLE;
  return rootKey->DeleteSubKey(subkey);
}

void DeleteRegistryKey(Registry& registry, RootKey root, std::string_view subkey) {
  DeleteRegistryKeyChecked(registry, root, subkey);
}

Status DeleteRegistryValueChecked(Registry& registry, RootKey root, std::string_view subkey,
                                  std::string_view name) {
  std::unique_ptr<RegistryKey> key;
  const Status opened = registry.OpenKey(root, subkey, key);
  if (!key) return opened != ERROR_SUCCESS ? opened : ERROR_INVALID_HANDLE;
  return key->DeleteValue(name);
}

void DeleteRegistryValue(Registry& registry, RootKey root, std::string_view subkey,
                         std::string_view name) {
  DeleteRegistryValueChecked(registry, root, subkey, name);
}

std::string EnumRegistryKey(Registry& registry, RootKey root, std::string_view subkey,
                            std::uint32_t index, Status* status) {
  Status ignored = ERROR_SUCCESS;
  Status& result = status != nullptr ? *status : ignored;
  std::unique_ptr<RegistryKey> key;
  result = registry.OpenKey(root, subkey, key);
  if (!key) {
    if (result == ERROR_SUCCESS) result = ERROR_INVALID_HANDLE;
    return std::string(kEnumNotFound);
  }
  std::string name;
  result = key->EnumKey(index, name);
  if (result != ERROR_SUCCESS) return std::string(kEnumNotFound);
  if (!NameFits(name)) {
    result = ERROR_MORE_DATA;
    return std::string(kEnumNotFound);
  }
  return name.substr(0, name.find('\0'));
}

RegistryEntry EnumRegistryValue(Registry& registry, RootKey root, std::string_view subkey,
                                std::uint32_t index, Status* status) {
  Status ignored = ERROR_SUCCESS;
  Status& result = status != nullptr ? *status : ignored;
  RegistryEntry entry;
  entry.data = kEnumNotFound;
  std::unique_ptr<RegistryKey> key;
  result = registry.OpenKey(root, subkey, key);
  if (!key) {
    if (result == ERROR_SUCCESS) result = ERROR_INVALID_HANDLE;
    return entry;
  }
  std::uint32_t type = 0;
  std::string name;
  std::string data;
  result = key->EnumValue(index, name, type, data);
  if (result != ERROR_SUCCESS) return entry;
  if (!NameFits(name) || StoredLength(type, data) > kRegistryBufferSize) {
    result = ERROR_MORE_DATA;
    return entry;
  }
  entry.type = type;
  entry.name = std::move(name);
  entry.data = type == REG_DWORD ? FormatDword(data) : DropLastCharacter(type, data);
  return entry;
}

}  // namespace vu::common
