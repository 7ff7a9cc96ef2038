// Small helpers for reaching the seam directly in the contract tests, below the registry layer.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"

namespace vu::contract {

using vu::platform::RootKey;
using vu::platform::Status;

// A string of the given byte values.
inline std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values)
    bytes += static_cast<char>(v);
  return bytes;
}

inline Status PutValue(vu::platform::Registry& registry, RootKey root, std::string_view path,
                       std::string_view name, std::uint32_t type, std::string_view data) {
  std::unique_ptr<vu::platform::RegistryKey> key;
  const Status created = registry.CreateKey(root, path, key);
  if (created != ERROR_SUCCESS) return created;
  const Status set = key->SetValue(name, type, data);
  return set != ERROR_SUCCESS ? set : key->Flush();
}

struct RawValue {
  Status status = ERROR_SUCCESS;
  std::uint32_t type = 0;
  std::string data;
};

inline RawValue GetValue(vu::platform::Registry& registry, RootKey root, std::string_view path,
                         std::string_view name) {
  RawValue value;
  std::unique_ptr<vu::platform::RegistryKey> key;
  value.status = registry.OpenKey(root, path, key);
  if (value.status == ERROR_SUCCESS) value.status = key->QueryValue(name, value.type, value.data);
  return value;
}

inline bool KeyExists(vu::platform::Registry& registry, RootKey root, std::string_view path) {
  std::unique_ptr<vu::platform::RegistryKey> key;
  return registry.OpenKey(root, path, key) == ERROR_SUCCESS && key != nullptr;
}

struct ListingResult {
  Status status = ERROR_SUCCESS;
  std::vector<vu::platform::FindData> entries;
  std::vector<std::string> names() const {
    std::vector<std::string> all;
    for (const auto& e : entries)
      all.push_back(e.name);
    return all;
  }
};

// Every entry that FindFirst / Next give for |pattern|, in listing order.
inline ListingResult List(vu::platform::FileSystem& files, std::string_view pattern) {
  ListingResult result;
  vu::platform::FindData entry;
  std::unique_ptr<vu::platform::Listing> listing;
  result.status = files.FindFirst(pattern, entry, listing);
  if (result.status != ERROR_SUCCESS) return result;
  do {
    result.entries.push_back(entry);
  } while (listing->Next(entry));
  return result;
}

}  // namespace vu::contract
