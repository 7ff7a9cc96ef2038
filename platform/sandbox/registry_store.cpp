#include "platform/sandbox/registry_store.h"

#include <sqlite3.h>

#include <atomic>

namespace vu::platform::sandbox {

namespace {

constexpr int kSchemaVersion = 1;

// Binds parameters of one statement and resets it when done, so the statement is ready for the
// next use however the caller leaves.
class Use {
 public:
  explicit Use(Statement& statement) : stmt_(statement.get()) {}
  Use(const Use&) = delete;
  Use& operator=(const Use&) = delete;
  ~Use() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

  Use& Int(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  // Empty data still binds an empty text or blob, never NULL.
  Use& Text(int index, std::string_view value) {
    sqlite3_bind_text(stmt_, index, value.empty() ? "" : value.data(),
                      static_cast<int>(value.size()), SQLITE_STATIC);
    return *this;
  }
  Use& Blob(int index, std::string_view value) {
    sqlite3_bind_blob(stmt_, index, value.empty() ? "" : value.data(),
                      static_cast<int>(value.size()), SQLITE_STATIC);
    return *this;
  }

  int Step() { return sqlite3_step(stmt_); }
  std::int64_t ColumnInt(int column) { return sqlite3_column_int64(stmt_, column); }
  std::string ColumnText(int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                : std::string();
  }
  std::string ColumnBlob(int column) {
    const auto* blob = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return blob ? std::string(blob, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                : std::string();
  }

 private:
  sqlite3_stmt* stmt_;
};

// The branch below (and including) ?1, for the two statements that delete it.
#define VU_BRANCH                                                                             \
  "(WITH RECURSIVE branch(id) AS (VALUES(?1) UNION ALL SELECT keys.id FROM keys JOIN branch " \
  "ON keys.parent = branch.id) SELECT id FROM branch)"

constexpr std::string_view kSchema =
    "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " parent INTEGER NOT NULL, name TEXT NOT NULL, folded TEXT NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS keys_by_name ON keys(parent, folded);"
    "CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL, seq INTEGER NOT NULL,"
    " name TEXT NOT NULL, folded TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS vals_by_name ON vals(key, folded);"
    "CREATE UNIQUE INDEX IF NOT EXISTS vals_in_order ON vals(key, seq);"
    "INSERT OR IGNORE INTO keys(parent, name, folded) VALUES"
    " (0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'), (0, 'HKEY_USERS', 'HKEY_USERS');";

int ReadUserVersion(sqlite3* db, int& version) {
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &raw, nullptr);
  if (rc != SQLITE_OK) return rc;
  rc = sqlite3_step(raw);
  if (rc == SQLITE_ROW) {
    version = sqlite3_column_int(raw, 0);
    rc = SQLITE_OK;
  }
  sqlite3_finalize(raw);
  return rc;
}

}  // namespace

Connection::~Connection() {
  sqlite3_close_v2(db_);
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

int Statement::Prepare(sqlite3* db, std::string_view sql) {
  sqlite3_finalize(stmt_);
  stmt_ = nullptr;
  return sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                            &stmt_, nullptr);
}

std::unique_ptr<RegistryStore> RegistryStore::Open(const std::string& path, std::string* error) {
  sqlite3* raw = nullptr;
  const int rc =
      sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  auto connection = std::make_unique<Connection>(raw);
  auto fail = [&](std::string_view what) -> std::unique_ptr<RegistryStore> {
    if (error) {
      *error = "cannot open registry " + path + ": " + std::string(what);
      if (raw) *error += std::string(" (") + sqlite3_errmsg(raw) + ")";
    }
    return nullptr;
  };
  if (rc != SQLITE_OK || !raw) return fail(sqlite3_errstr(rc));

  sqlite3_busy_timeout(raw, 5000);
  // WAL with NORMAL sync: a commit is an append to the log, and a writer killed at any point
  // leaves the last committed state behind.
  if (sqlite3_exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                   nullptr) != SQLITE_OK) {
    return fail("not a registry database");
  }
  int version = 0;
  if (ReadUserVersion(raw, version) != SQLITE_OK) return fail("not a registry database");
  if (version > kSchemaVersion) return fail("written by a newer version");
  if (version < kSchemaVersion) {
    const std::string sql = "BEGIN IMMEDIATE;" + std::string(kSchema) +
                            "PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";COMMIT;";
    if (sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
      std::string message = sqlite3_errmsg(raw);
      sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
      return fail("cannot create the schema: " + message);
    }
  }

  std::unique_ptr<RegistryStore> store(new RegistryStore(std::move(connection)));
  if (store->Prepare() != ERROR_SUCCESS) return fail("cannot prepare statements");
  store->WatchWalIndex();
  if (!store->walIndex_) store->MayHaveChanged();
  return store;
}

RegistryStore::~RegistryStore() = default;

Status RegistryStore::Prepare() {
  struct Sql {
    Statement& statement;
    std::string_view text;
  };
  const Sql all[] = {
      {findChild_, "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2"},
      {addChild_, "INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3)"},
      {keyExists_, "SELECT 1 FROM keys WHERE id = ?1"},
      {deleteBranchValues_, "DELETE FROM vals WHERE key IN " VU_BRANCH},
      {deleteBranchKeys_, "DELETE FROM keys WHERE id IN " VU_BRANCH},
      {childNames_, "SELECT name FROM keys WHERE parent = ?1 ORDER BY folded"},
      {values_, "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY seq"},
      {getValue_, "SELECT name, type, data FROM vals WHERE key = ?1 AND folded = ?2"},
      {updateValue_, "UPDATE vals SET type = ?3, data = ?4 WHERE key = ?1 AND folded = ?2"},
      {nextSeq_, "SELECT COALESCE(MAX(seq), 0) + 1 FROM vals WHERE key = ?1"},
      {insertValue_,
       "INSERT INTO vals(key, seq, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5, ?6)"},
      {deleteValue_, "DELETE FROM vals WHERE key = ?1 AND folded = ?2"},
      {dataVersion_, "PRAGMA data_version"},
  };
  for (const Sql& sql : all) {
    if (const int rc = sql.statement.Prepare(db_, sql.text); rc != SQLITE_OK) return Fail(rc);
  }
  return ERROR_SUCCESS;
}

Status RegistryStore::Fail(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_FULL:
      return ERROR_DISK_FULL;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return ERROR_ACCESS_DENIED;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return ERROR_SHARING_VIOLATION;
    case SQLITE_NOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_IOERR:
      return ERROR_CANTWRITE;
    default:
      return ERROR_BADDB;
  }
}

Status RegistryStore::Exec(std::string_view sql) {
  const std::string text(sql);
  const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
  return rc == SQLITE_OK ? ERROR_SUCCESS : Fail(rc);
}

Status RegistryStore::FindRoot(std::string_view name, KeyId& id) {
  return FindChild(0, name, id);
}

Status RegistryStore::FindChild(KeyId parent, std::string_view folded, KeyId& child) {
  BeginRead();
  Use use(findChild_);
  use.Int(1, parent).Text(2, folded);
  const int rc = use.Step();
  if (rc == SQLITE_ROW) {
    child = use.ColumnInt(0);
    return ERROR_SUCCESS;
  }
  return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : Fail(rc);
}

Status RegistryStore::AddChild(KeyId parent, std::string_view name, std::string_view folded,
                               KeyId& child) {
  Use use(addChild_);
  use.Int(1, parent).Text(2, name).Text(3, folded);
  const int rc = use.Step();
  if (rc != SQLITE_DONE) return Fail(rc);
  child = sqlite3_last_insert_rowid(db_);
  return ERROR_SUCCESS;
}

Status RegistryStore::KeyExists(KeyId id, bool& exists) {
  BeginRead();
  Use use(keyExists_);
  use.Int(1, id);
  const int rc = use.Step();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return Fail(rc);
  exists = rc == SQLITE_ROW;
  return ERROR_SUCCESS;
}

Status RegistryStore::DeleteBranch(KeyId id) {
  for (Statement* statement : {&deleteBranchValues_, &deleteBranchKeys_}) {
    Use use(*statement);
    use.Int(1, id);
    if (const int rc = use.Step(); rc != SQLITE_DONE) return Fail(rc);
  }
  return ERROR_SUCCESS;
}

Status RegistryStore::ChildNames(KeyId parent, std::vector<std::string>& names) {
  BeginRead();
  names.clear();
  Use use(childNames_);
  use.Int(1, parent);
  int rc;
  while ((rc = use.Step()) == SQLITE_ROW)
    names.push_back(use.ColumnText(0));
  return rc == SQLITE_DONE ? ERROR_SUCCESS : Fail(rc);
}

Status RegistryStore::Values(KeyId key, std::vector<StoredValue>& values) {
  BeginRead();
  values.clear();
  Use use(values_);
  use.Int(1, key);
  int rc;
  while ((rc = use.Step()) == SQLITE_ROW) {
    values.push_back(
        {use.ColumnText(0), static_cast<std::uint32_t>(use.ColumnInt(1)), use.ColumnBlob(2)});
  }
  return rc == SQLITE_DONE ? ERROR_SUCCESS : Fail(rc);
}

Status RegistryStore::GetValue(KeyId key, std::string_view folded, StoredValue& value) {
  BeginRead();
  Use use(getValue_);
  use.Int(1, key).Text(2, folded);
  const int rc = use.Step();
  if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
  if (rc != SQLITE_ROW) return Fail(rc);
  value = {use.ColumnText(0), static_cast<std::uint32_t>(use.ColumnInt(1)), use.ColumnBlob(2)};
  return ERROR_SUCCESS;
}

Status RegistryStore::SetValue(KeyId key, std::string_view name, std::string_view folded,
                               std::uint32_t type, std::string_view data) {
  {
    Use use(updateValue_);
    use.Int(1, key).Text(2, folded).Int(3, type).Blob(4, data);
    if (const int rc = use.Step(); rc != SQLITE_DONE) return Fail(rc);
    if (sqlite3_changes(db_) > 0) return ERROR_SUCCESS;
  }
  std::int64_t seq = 0;
  {
    Use use(nextSeq_);
    use.Int(1, key);
    if (const int rc = use.Step(); rc != SQLITE_ROW) return Fail(rc);
    seq = use.ColumnInt(0);
  }
  Use use(insertValue_);
  use.Int(1, key).Int(2, seq).Text(3, name).Text(4, folded).Int(5, type).Blob(6, data);
  const int rc = use.Step();
  return rc == SQLITE_DONE ? ERROR_SUCCESS : Fail(rc);
}

Status RegistryStore::DeleteValue(KeyId key, std::string_view folded) {
  Use use(deleteValue_);
  use.Int(1, key).Text(2, folded);
  if (const int rc = use.Step(); rc != SQLITE_DONE) return Fail(rc);
  return sqlite3_changes(db_) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

// Every statement outside a transaction is a read transaction of its own, and each costs file
// lock system calls. In WAL mode a read transaction is instead kept open from one call to the
// next and ended as soon as the WAL index shows a commit (MayHaveChanged) or this connection
// writes: reads stay current at no cost per statement. Without WAL, statements run alone.
void RegistryStore::BeginRead() {
  if (!walIndex_ || InTransaction()) return;
  if (Exec("BEGIN") == ERROR_SUCCESS) reading_ = true;
}

void RegistryStore::EndRead() {
  if (reading_ && InTransaction()) Exec("COMMIT");
  reading_ = false;
}

Status RegistryStore::BeginWrite() {
  EndRead();
  // IMMEDIATE takes the write lock up front, so a second process waits at the start of a
  // transaction instead of failing half-way through it.
  if (!InTransaction()) {
    if (const Status status = Exec("BEGIN IMMEDIATE"); status != ERROR_SUCCESS) return status;
  }
  return Exec("SAVEPOINT op");
}

Status RegistryStore::EndWrite(bool keep) {
  // An I/O or disk-full error may already have rolled the whole transaction back.
  if (!InTransaction()) return ERROR_SUCCESS;
  if (keep) return Exec("RELEASE op");
  const Status status = Exec("ROLLBACK TO op");
  const Status released = Exec("RELEASE op");
  return status != ERROR_SUCCESS ? status : released;
}

Status RegistryStore::Commit() {
  if (reading_) EndRead();
  return InTransaction() ? Exec("COMMIT") : ERROR_SUCCESS;
}

Status RegistryStore::Rollback() {
  if (reading_) EndRead();
  return InTransaction() ? Exec("ROLLBACK") : ERROR_SUCCESS;
}

bool RegistryStore::Writing() const {
  return InTransaction() && !reading_;
}

bool RegistryStore::InTransaction() const {
  return sqlite3_get_autocommit(db_) == 0;
}

// Reading the WAL index's header (the first 48 bytes of the shared memory, documented with the
// WAL file format) is how SQLite itself notices other writers; the counters in it change with
// every commit. Comparing it is free, where PRAGMA data_version costs a read transaction, which
// means file-lock system calls, on every call.
void RegistryStore::WatchWalIndex() {
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
      !file->pMethods || file->pMethods->iVersion < 2 || !file->pMethods->xShmMap) {
    return;
  }
  constexpr int kWalIndexPageSize = 32768;
  void volatile* region = nullptr;
  if (file->pMethods->xShmMap(file, 0, kWalIndexPageSize, 0, &region) == SQLITE_OK && region) {
    walIndex_ = static_cast<const volatile std::uint32_t*>(region);
    MayHaveChanged();
  }
}

bool RegistryStore::MayHaveChanged() {
  if (!walIndex_) {
    const std::int64_t version = DataVersion();
    const bool changed = version != lastDataVersion_;
    lastDataVersion_ = version;
    return changed;
  }
  std::array<std::uint32_t, 12> header;
  for (std::size_t i = 0; i < header.size(); ++i)
    header[i] = walIndex_[i];
  std::atomic_thread_fence(std::memory_order_acquire);
  if (header == walHeader_) return false;
  walHeader_ = header;
  EndRead();
  return true;
}

std::int64_t RegistryStore::DataVersion() {
  Use use(dataVersion_);
  return use.Step() == SQLITE_ROW ? use.ColumnInt(0) : -1;
}

}  // namespace vu::platform::sandbox
