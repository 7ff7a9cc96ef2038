// The sandbox registry's storage: keys and values in one SQLite database. Knows nothing of roots,
// paths or case rules; callers pass the folded (upper-cased) names it indexes on.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/status.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vu::platform::sandbox {

using KeyId = std::int64_t;

struct StoredValue {
  std::string name;
  std::uint32_t type = 0;
  std::string data;
};

// The open database connection.
class Connection {
 public:
  explicit Connection(sqlite3* db) : db_(db) {}
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection();
  sqlite3* get() const { return db_; }

 private:
  sqlite3* db_;
};

// A prepared statement, reset (not finalized) after each use so it can run again.
class Statement {
 public:
  Statement() = default;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  int Prepare(sqlite3* db, std::string_view sql);
  sqlite3_stmt* get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

class RegistryStore {
 public:
  // Opens or creates the database file and its schema (with the two real roots).
  static std::unique_ptr<RegistryStore> Open(const std::string& path, std::string* error);
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;
  ~RegistryStore();

  // A top-level key (parent 0): HKEY_LOCAL_MACHINE or HKEY_USERS.
  Status FindRoot(std::string_view name, KeyId& id);
  // ERROR_FILE_NOT_FOUND when |parent| has no child of that folded name.
  Status FindChild(KeyId parent, std::string_view folded, KeyId& child);
  Status AddChild(KeyId parent, std::string_view name, std::string_view folded, KeyId& child);
  Status KeyExists(KeyId id, bool& exists);
  // Removes the key, every key below it and all their values.
  Status DeleteBranch(KeyId id);
  // Child names in case-insensitive order (folded names compared byte by byte).
  Status ChildNames(KeyId parent, std::vector<std::string>& names);
  // Values in creation order.
  Status Values(KeyId key, std::vector<StoredValue>& values);
  Status GetValue(KeyId key, std::string_view folded, StoredValue& value);
  // Replaces an existing value in place (its name's spelling and its position are kept) or
  // appends a new one.
  Status SetValue(KeyId key, std::string_view name, std::string_view folded, std::uint32_t type,
                  std::string_view data);
  Status DeleteValue(KeyId key, std::string_view folded);

  // Writes happen inside one transaction that the first write opens and Commit ends; each write
  // is wrapped in a savepoint so a failing one leaves no half of itself behind.
  Status BeginWrite();
  Status EndWrite(bool keep);
  Status Commit();
  Status Rollback();
  // True while a write transaction is open.
  bool Writing() const;
  // True when a commit may have happened since the previous call, by any connection, in this
  // process or another. Costs no system call in WAL mode. When true, the next read sees the
  // database as it is now.
  bool MayHaveChanged();

 private:
  explicit RegistryStore(std::unique_ptr<Connection> connection)
      : connection_(std::move(connection)), db_(connection_->get()) {}
  Status Exec(std::string_view sql);
  Status Prepare();
  Status Fail(int rc);
  void WatchWalIndex();
  void BeginRead();
  void EndRead();
  bool InTransaction() const;
  std::int64_t DataVersion();

  // Declared first so that it is closed after every statement has been finalized.
  std::unique_ptr<Connection> connection_;
  sqlite3* db_;
  Statement findChild_, addChild_, keyExists_, deleteBranchValues_, deleteBranchKeys_, childNames_,
      values_, getValue_, updateValue_, nextSeq_, insertValue_, deleteValue_, dataVersion_;
  // The shared WAL index, whose header changes with every commit; null when not in WAL mode.
  const volatile std::uint32_t* walIndex_ = nullptr;
  std::array<std::uint32_t, 12> walHeader_{};
  std::int64_t lastDataVersion_ = -1;
  // A read transaction is left open between calls (see BeginRead) while this is set.
  bool reading_ = false;
};

}  // namespace vu::platform::sandbox
