// The sandbox machine's registry, kept in an SQLite database (MACHINE/registry.db).
//
// It behaves as a single-user Windows 98 registry does where the programs can tell:
// HKEY_LOCAL_MACHINE and HKEY_USERS are the real trees; HKEY_CLASSES_ROOT is
// HKEY_LOCAL_MACHINE\Software\Classes and HKEY_CURRENT_USER is HKEY_USERS\.DEFAULT (both created
// when first needed). Key and value names are case-insensitive and case-preserving; subkeys are
// enumerated in case-insensitive order, values in creation order (rewriting a value keeps its
// place, as Windows 9x does). Deleting a key deletes its branch.
//
// Writes go into one transaction, opened by the first write and committed by RegFlushKey
// (RegistryKey::Flush), by Commit(), when a key that wrote is closed, and when the registry is
// destroyed. A process killed at any point leaves the last committed state.
//
// Key objects refer to their registry: close them before the registry is destroyed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry.h"
#include "platform/sandbox/registry_cache.h"
#include "platform/sandbox/registry_store.h"

namespace vu::platform::sandbox {

class SandboxKey;

class SandboxRegistry : public vu::platform::Registry {
 public:
  // Opens the database at |dbPath|, creating the file and its schema when missing.
  static std::unique_ptr<SandboxRegistry> Open(const std::string& dbPath, std::string* error);
  ~SandboxRegistry() override;

  Status OpenKey(RootKey root, std::string_view path, std::unique_ptr<RegistryKey>& key) override;
  Status CreateKey(RootKey root, std::string_view path, std::unique_ptr<RegistryKey>& key) override;

  // Commits every pending write.
  Status Commit();
  // Discards every write since the last commit.
  Status Rollback();
  // While deferred, neither Flush nor closing a key commits: a batch of changes (a .reg import)
  // then becomes durable all at once with Commit(), or not at all with Rollback().
  void DeferCommits(bool defer) { deferCommits_ = defer; }
  // How many key listings (subkey names or values) have been read from the database: an
  // enumeration by index reads its key's listing once, however often the key is reopened.
  std::uint64_t listingsLoaded() const { return listingsLoaded_; }

 private:
  friend class SandboxKey;

  SandboxRegistry(std::unique_ptr<RegistryStore> store, KeyId machine, KeyId users);

  Status Open(RootKey root, std::string_view path, bool create, std::unique_ptr<RegistryKey>& key);
  // The key a root handle stands for, creating the aliased roots' keys when missing.
  Status ResolveRoot(RootKey root, KeyId& id, bool& created);
  // The existing key at |segments| below |start|, from the path cache when it can be.
  Status Find(KeyId start, const std::vector<std::string_view>& segments, KeyId& id);
  // Walks |segments| below |start|; with |create|, adds the missing keys.
  Status Walk(KeyId start, const std::vector<std::string_view>& segments, bool create, KeyId& id,
              bool& created);

  // Runs one write inside its own savepoint of the pending transaction.
  template <typename Write>
  Status Change(Write write);
  // Commits at the points where a key commits its writes unless commits are deferred.
  Status CommitPoint();
  // ERROR_KEY_DELETED when the key |id| is gone; |checked| is the key generation at which it was
  // last known to exist, which spares the query while no key has been deleted since.
  Status CheckAlive(KeyId id, std::uint64_t& checked);
  const std::vector<std::string>* SubkeyNames(KeyId id, Status& status);
  const std::vector<StoredValue>* ValueRows(KeyId id, Status& status);
  // Forgets everything cached when another connection (another process) has committed.
  void NoticeOtherWriters();
  // After anything that may have removed keys: a deletion, a rollback, a change elsewhere.
  void KeysMayBeGone();
  void DropListings();

  std::unique_ptr<RegistryStore> store_;
  bool deferCommits_ = false;
  KeyId machine_;  // HKEY_LOCAL_MACHINE
  KeyId users_;    // HKEY_USERS
  std::uint64_t keyGeneration_ = 0;
  std::uint64_t listingsLoaded_ = 0;
  // Folded paths ("<start id>\SEGMENT\SEGMENT") of keys known to exist in this generation.
  std::unordered_map<std::string, KeyId> paths_;
  ListingCache<std::string> subkeyCache_;
  ListingCache<StoredValue> valueCache_;
};

}  // namespace vu::platform::sandbox
