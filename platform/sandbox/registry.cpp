#include "platform/sandbox/registry.h"

#include <utility>

#include "platform/registry_path.h"
#include "platform/text.h"

namespace vu::platform::sandbox {

namespace {

// Enough snapshots for a recursive walk as deep as real registries go, each level keeping its
// listing while the levels below it are walked.
constexpr std::size_t kSnapshotsPerKind = 48;
constexpr std::size_t kCachedPaths = 4096;

}  // namespace

// One open key (an HKEY).
class SandboxKey final : public RegistryKey {
 public:
  SandboxKey(SandboxRegistry& registry, KeyId id, std::string path, bool predefined, bool wrote)
      : registry_(registry),
        id_(id),
        path_(std::move(path)),
        predefined_(predefined),
        wrote_(wrote),
        checked_(registry.keyGeneration_) {}
  ~SandboxKey() override {
    if (wrote_) registry_.CommitPoint();
  }

  Status QueryValue(std::string_view name, std::uint32_t& type, std::string& data) override {
    if (Status status = Alive(); status != ERROR_SUCCESS) return status;
    StoredValue value;
    const Status status = registry_.store_->GetValue(id_, UpperCase(name), value);
    if (status != ERROR_SUCCESS) return status;
    type = value.type;
    data = std::move(value.data);
    return ERROR_SUCCESS;
  }

  Status SetValue(std::string_view name, std::uint32_t type, std::string_view data) override {
    const std::string folded = UpperCase(name);
    return Write([&] { return registry_.store_->SetValue(id_, name, folded, type, data); });
  }

  Status Flush() override {
    if (Status status = Alive(); status != ERROR_SUCCESS) return status;
    return registry_.CommitPoint();
  }

  Status DeleteSubKey(std::string_view path) override {
    const std::vector<std::string_view> segments = SplitKeyPath(path);
    // An empty path names the key itself; the predefined roots cannot go.
    if (segments.empty() && predefined_) return ERROR_ACCESS_DENIED;
    const Status status = Write([&] {
      KeyId target = id_;
      bool created = false;
      Status found = registry_.Walk(id_, segments, false, target, created);
      return found == ERROR_SUCCESS ? registry_.store_->DeleteBranch(target) : found;
    });
    if (status == ERROR_SUCCESS) registry_.KeysMayBeGone();
    return status;
  }

  Status DeleteValue(std::string_view name) override {
    const std::string folded = UpperCase(name);
    return Write([&] { return registry_.store_->DeleteValue(id_, folded); });
  }

  Status EnumKey(std::uint32_t index, std::string& name) override {
    if (Status status = Alive(); status != ERROR_SUCCESS) return status;
    Status status = ERROR_SUCCESS;
    const std::vector<std::string>* names = registry_.SubkeyNames(id_, status);
    if (!names) return status;
    if (index >= names->size()) return ERROR_NO_MORE_ITEMS;
    name = (*names)[index];
    return ERROR_SUCCESS;
  }

  Status EnumValue(std::uint32_t index, std::string& name, std::uint32_t& type,
                   std::string& data) override {
    if (Status status = Alive(); status != ERROR_SUCCESS) return status;
    Status status = ERROR_SUCCESS;
    const std::vector<StoredValue>* rows = registry_.ValueRows(id_, status);
    if (!rows) return status;
    if (index >= rows->size()) return ERROR_NO_MORE_ITEMS;
    const StoredValue& row = (*rows)[index];
    name = row.name;
    type = row.type;
    data = row.data;
    return ERROR_SUCCESS;
  }

 private:
  Status Alive() { return registry_.CheckAlive(id_, checked_); }

  // A write to this key: inside the transaction, where another process's deletion of the key
  // is certain to be seen.
  template <typename Change>
  Status Write(Change change) {
    const Status status = registry_.Change([&] {
      const Status alive = Alive();
      return alive == ERROR_SUCCESS ? change() : alive;
    });
    if (status == ERROR_SUCCESS) wrote_ = true;
    return status;
  }

  SandboxRegistry& registry_;
  KeyId id_;
  std::string path_;
  bool predefined_;
  bool wrote_;
  std::uint64_t checked_;
};

std::unique_ptr<SandboxRegistry> SandboxRegistry::Open(const std::string& dbPath,
                                                       std::string* error) {
  std::unique_ptr<RegistryStore> store = RegistryStore::Open(dbPath, error);
  if (!store) return nullptr;
  KeyId machine = 0, users = 0;
  if (store->FindRoot("HKEY_LOCAL_MACHINE", machine) != ERROR_SUCCESS ||
      store->FindRoot("HKEY_USERS", users) != ERROR_SUCCESS) {
    if (error) *error = "cannot open registry " + dbPath + ": its root keys are missing";
    return nullptr;
  }
  return std::unique_ptr<SandboxRegistry>(new SandboxRegistry(std::move(store), machine, users));
}

SandboxRegistry::SandboxRegistry(std::unique_ptr<RegistryStore> store, KeyId machine, KeyId users)
    : store_(std::move(store)),
      machine_(machine),
      users_(users),
      subkeyCache_(kSnapshotsPerKind),
      valueCache_(kSnapshotsPerKind) {}

SandboxRegistry::~SandboxRegistry() {
  store_->Commit();
}

Status SandboxRegistry::OpenKey(RootKey root, std::string_view path,
                                std::unique_ptr<RegistryKey>& key) {
  key.reset();
  return Open(root, path, false, key);
}

Status SandboxRegistry::CreateKey(RootKey root, std::string_view path,
                                  std::unique_ptr<RegistryKey>& key) {
  key.reset();
  return Open(root, path, true, key);
}

Status SandboxRegistry::Open(RootKey root, std::string_view path, bool create,
                             std::unique_ptr<RegistryKey>& key) {
  NoticeOtherWriters();
  KeyId base = 0, id = 0;
  bool created = false;
  Status status = ResolveRoot(root, base, created);
  if (status != ERROR_SUCCESS) return status;
  const std::vector<std::string_view> segments = SplitKeyPath(path);
  status = Find(base, segments, id);
  if (status == ERROR_FILE_NOT_FOUND && create) {
    status = Change([&] { return Walk(base, segments, true, id, created); });
  }
  if (status != ERROR_SUCCESS) return status;
  key = std::make_unique<SandboxKey>(*this, id, NormalizeKeyPath(path), segments.empty(), created);
  return ERROR_SUCCESS;
}

Status SandboxRegistry::ResolveRoot(RootKey root, KeyId& id, bool& created) {
  created = false;
  switch (root) {
    case HKEY_LOCAL_MACHINE:
      id = machine_;
      return ERROR_SUCCESS;
    case HKEY_USERS:
      id = users_;
      return ERROR_SUCCESS;
    case HKEY_CLASSES_ROOT:
    case HKEY_CURRENT_USER:
      break;
    default:
      return ERROR_INVALID_HANDLE;
  }
  const KeyId base = root == HKEY_CLASSES_ROOT ? machine_ : users_;
  const std::vector<std::string_view> alias =
      root == HKEY_CLASSES_ROOT ? std::vector<std::string_view>{"Software", "Classes"}
                                : std::vector<std::string_view>{".DEFAULT"};
  const Status status = Find(base, alias, id);
  if (status != ERROR_FILE_NOT_FOUND) return status;
  return Change([&] { return Walk(base, alias, true, id, created); });
}

Status SandboxRegistry::Find(KeyId start, const std::vector<std::string_view>& segments,
                             KeyId& id) {
  std::string cacheKey = std::to_string(start);
  for (std::string_view segment : segments)
    cacheKey += '\\' + UpperCase(segment);
  if (const auto found = paths_.find(cacheKey); found != paths_.end()) {
    id = found->second;
    return ERROR_SUCCESS;
  }
  bool created = false;
  const Status status = Walk(start, segments, false, id, created);
  if (status == ERROR_SUCCESS) {
    if (paths_.size() >= kCachedPaths) paths_.clear();
    paths_.emplace(std::move(cacheKey), id);
  }
  return status;
}

Status SandboxRegistry::Walk(KeyId start, const std::vector<std::string_view>& segments,
                             bool create, KeyId& id, bool& created) {
  KeyId current = start;
  for (std::string_view segment : segments) {
    const std::string folded = UpperCase(segment);
    KeyId child = 0;
    Status status = store_->FindChild(current, folded, child);
    if (status == ERROR_FILE_NOT_FOUND && create) {
      status = store_->AddChild(current, segment, folded, child);
      if (status == ERROR_SUCCESS) created = true;
    }
    if (status != ERROR_SUCCESS) return status;
    current = child;
  }
  id = current;
  return ERROR_SUCCESS;
}

template <typename Write>
Status SandboxRegistry::Change(Write write) {
  Status status = store_->BeginWrite();
  if (status != ERROR_SUCCESS) return status;
  // Inside the write transaction this costs no lock, and what it finds is current.
  NoticeOtherWriters();
  status = write();
  const Status ended = store_->EndWrite(status == ERROR_SUCCESS);
  DropListings();
  // A failed statement may have ended the whole transaction, taking earlier writes with it.
  if (!store_->Writing()) KeysMayBeGone();
  return status != ERROR_SUCCESS ? status : ended;
}

Status SandboxRegistry::CommitPoint() {
  return deferCommits_ ? ERROR_SUCCESS : Commit();
}

Status SandboxRegistry::Commit() {
  const Status status = store_->Commit();
  if (status != ERROR_SUCCESS && !store_->Writing()) {
    DropListings();
    KeysMayBeGone();
  }
  return status;
}

Status SandboxRegistry::Rollback() {
  DropListings();
  KeysMayBeGone();
  return store_->Rollback();
}

Status SandboxRegistry::CheckAlive(KeyId id, std::uint64_t& checked) {
  NoticeOtherWriters();
  if (checked == keyGeneration_) return ERROR_SUCCESS;
  bool exists = false;
  const Status status = store_->KeyExists(id, exists);
  if (status != ERROR_SUCCESS) return status;
  if (!exists) return ERROR_KEY_DELETED;
  checked = keyGeneration_;
  return ERROR_SUCCESS;
}

void SandboxRegistry::NoticeOtherWriters() {
  if (!store_->MayHaveChanged()) return;
  DropListings();
  KeysMayBeGone();
}

void SandboxRegistry::KeysMayBeGone() {
  ++keyGeneration_;
  paths_.clear();
}

void SandboxRegistry::DropListings() {
  subkeyCache_.Clear();
  valueCache_.Clear();
}

const std::vector<std::string>* SandboxRegistry::SubkeyNames(KeyId id, Status& status) {
  if (const std::vector<std::string>* names = subkeyCache_.Find(id)) return names;
  std::vector<std::string> names;
  ++listingsLoaded_;
  status = store_->ChildNames(id, names);
  if (status != ERROR_SUCCESS) return nullptr;
  return &subkeyCache_.Put(id, std::move(names));
}

const std::vector<StoredValue>* SandboxRegistry::ValueRows(KeyId id, Status& status) {
  if (const std::vector<StoredValue>* rows = valueCache_.Find(id)) return rows;
  std::vector<StoredValue> rows;
  ++listingsLoaded_;
  status = store_->Values(id, rows);
  if (status != ERROR_SUCCESS) return nullptr;
  return &valueCache_.Put(id, std::move(rows));
}

}  // namespace vu::platform::sandbox
