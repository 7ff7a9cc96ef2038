// Snapshots of key listings (subkey names, values) for enumeration by index. The programs reopen
// a key for every index they read, so each index must not cost a fresh query from the start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/sandbox/registry_store.h"

namespace vu::platform::sandbox {

// A few snapshots, least recently used evicted first: a recursive walk holds one listing per
// level of the tree it is in, and each level must survive the walk of its children.
template <typename Item>
class ListingCache {
 public:
  explicit ListingCache(std::size_t capacity) : capacity_(capacity) { entries_.reserve(capacity); }

  const std::vector<Item>* Find(KeyId key) {
    for (Entry& entry : entries_) {
      if (entry.key == key) {
        entry.used = ++clock_;
        return &entry.items;
      }
    }
    return nullptr;
  }

  const std::vector<Item>& Put(KeyId key, std::vector<Item> items) {
    Entry* slot = nullptr;
    if (entries_.size() < capacity_) {
      slot = &entries_.emplace_back();
    } else {
      slot = &entries_.front();
      for (Entry& entry : entries_) {
        if (entry.used < slot->used) slot = &entry;
      }
    }
    slot->key = key;
    slot->used = ++clock_;
    slot->items = std::move(items);
    return slot->items;
  }

  void Clear() { entries_.clear(); }

 private:
  struct Entry {
    KeyId key = 0;
    std::uint64_t used = 0;
    std::vector<Item> items;
  };
  std::size_t capacity_;
  std::uint64_t clock_ = 0;
  std::vector<Entry> entries_;
};

}  // namespace vu::platform::sandbox
