#include "platform/sandbox/registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vu::platform::sandbox {
namespace {

namespace fs = std::filesystem;
using Key = std::unique_ptr<RegistryKey>;

// A fresh registry database in its own temporary folder.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vu_registry_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    path_ = (dir_ / "registry.db").string();
    registry_ = OpenAt(path_);
  }
  void TearDown() override {
    registry_.reset();
    fs::remove_all(dir_);
  }

  static std::unique_ptr<SandboxRegistry> OpenAt(const std::string& path) {
    std::string error;
    auto registry = SandboxRegistry::Open(path, &error);
    EXPECT_TRUE(registry) << error;
    return registry;
  }

  Key Create(RootKey root, std::string_view path) {
    Key key;
    EXPECT_EQ(registry_->CreateKey(root, path, key), ERROR_SUCCESS) << path;
    return key;
  }

  void SetText(RootKey root, std::string_view path, std::string_view name, std::string text) {
    text += '\0';
    EXPECT_EQ(Create(root, path)->SetValue(name, REG_SZ, text), ERROR_SUCCESS);
  }

  // The stored text less its NUL, or "<status N>" when it cannot be read.
  std::string Text(RootKey root, std::string_view path, std::string_view name,
                   SandboxRegistry* registry = nullptr) {
    Key key;
    Status status = (registry ? registry : registry_.get())->OpenKey(root, path, key);
    std::uint32_t type = 0;
    std::string data;
    if (status == ERROR_SUCCESS) status = key->QueryValue(name, type, data);
    if (status != ERROR_SUCCESS) return "<status " + std::to_string(status) + ">";
    if (!data.empty() && data.back() == '\0') data.pop_back();
    return data;
  }

  // Subkey names the way the programs read them: reopen the key for every index.
  std::vector<std::string> SubkeysByReopening(RootKey root, std::string_view path) {
    std::vector<std::string> names;
    for (std::uint32_t i = 0;; ++i) {
      Key key;
      if (registry_->OpenKey(root, path, key) != ERROR_SUCCESS) break;
      std::string name;
      if (key->EnumKey(i, name) != ERROR_SUCCESS) break;
      names.push_back(name);
    }
    return names;
  }

  std::vector<std::string> ValueNames(RegistryKey& key) {
    std::vector<std::string> names;
    std::string name, data;
    std::uint32_t type = 0;
    for (std::uint32_t i = 0; key.EnumValue(i, name, type, data) == ERROR_SUCCESS; ++i) {
      names.push_back(name);
    }
    return names;
  }

  fs::path dir_;
  std::string path_;
  std::unique_ptr<SandboxRegistry> registry_;
};

TEST_F(RegistryTest, AliasedRootsShareTheirKeysWithTheRealTrees) {
  SetText(HKEY_CURRENT_USER, "Software\\Vendor", "User", "u");
  SetText(HKEY_LOCAL_MACHINE, "Software\\Classes\\.txt", "", "txtfile");
  EXPECT_EQ(Text(HKEY_USERS, ".DEFAULT\\Software\\Vendor", "User"), "u");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, ".txt", ""), "txtfile");

  // The alias keys come back when their branch has been deleted.
  Key users;
  ASSERT_EQ(registry_->OpenKey(HKEY_USERS, "", users), ERROR_SUCCESS);
  ASSERT_EQ(users->DeleteSubKey(".DEFAULT"), ERROR_SUCCESS);
  Key user;
  EXPECT_EQ(registry_->OpenKey(HKEY_CURRENT_USER, "", user), ERROR_SUCCESS);
  EXPECT_EQ(Text(HKEY_CURRENT_USER, "Software\\Vendor", "User"), "<status 2>");
  // The sandbox has no performance data.
  Key bad;
  EXPECT_EQ(registry_->OpenKey(0x80000004u, "", bad), static_cast<Status>(ERROR_INVALID_HANDLE));
}

TEST_F(RegistryTest, PathsToleratePaddingBackslashes) {
  SetText(HKEY_CURRENT_USER, "\\Control Panel\\desktop", "MenuShowDelay", "400");
  EXPECT_EQ(Text(HKEY_CURRENT_USER, "Control Panel\\\\desktop\\", "MenuShowDelay"), "400");
  EXPECT_EQ(SubkeysByReopening(HKEY_CURRENT_USER, "\\"), std::vector<std::string>{"Control Panel"});
}

TEST_F(RegistryTest, NamesAreCaseInsensitiveAndKeepTheirFirstSpelling) {
  SetText(HKEY_LOCAL_MACHINE, "Software\\MyApp", "Name", "first");
  SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\myapp", "NAME", "second");
  SetText(HKEY_LOCAL_MACHINE, "Software\\Ärger", "Wert", "x");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "software\\ÄRGER", "wERT"), "x");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "sOfTwArE\\MYAPP", "name"), "second");
  EXPECT_EQ(SubkeysByReopening(HKEY_LOCAL_MACHINE, "Software"),
            (std::vector<std::string>{"MyApp", "Ärger"}));
  EXPECT_EQ(ValueNames(*Create(HKEY_LOCAL_MACHINE, "Software\\MyApp")),
            std::vector<std::string>{"Name"});
}

TEST_F(RegistryTest, SubkeysComeInCaseInsensitiveOrderAndValuesInCreationOrder) {
  for (const char* name : {"beta", "_under", "Zulu", "alpha2", "Alpha"}) {
    Create(HKEY_LOCAL_MACHINE, std::string("Order\\") + name);
  }
  // Folded to upper case, '_' sorts after the letters; a case-sensitive order would differ.
  EXPECT_EQ(SubkeysByReopening(HKEY_LOCAL_MACHINE, "Order"),
            (std::vector<std::string>{"Alpha", "alpha2", "beta", "Zulu", "_under"}));

  Key key = Create(HKEY_LOCAL_MACHINE, "Order");
  for (const char* name : {"z", "a", "m", ""})
    ASSERT_EQ(key->SetValue(name, REG_SZ, "1"), 0u);
  ASSERT_EQ(key->SetValue("A", REG_DWORD, std::string("\x05\0\0\0", 4)), 0u);  // keeps its place
  EXPECT_EQ(ValueNames(*key), (std::vector<std::string>{"z", "a", "m", ""}));
  ASSERT_EQ(key->DeleteValue("z"), ERROR_SUCCESS);
  ASSERT_EQ(key->SetValue("Z", REG_SZ, "2"), ERROR_SUCCESS);  // a new value goes last
  EXPECT_EQ(ValueNames(*key), (std::vector<std::string>{"a", "m", "", "Z"}));

  std::string name, data;
  std::uint32_t type = 0;
  ASSERT_EQ(key->EnumValue(0, name, type, data), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<std::uint32_t>(REG_DWORD));
  EXPECT_EQ(data, std::string("\x05\0\0\0", 4));
  EXPECT_EQ(key->EnumValue(4, name, type, data), static_cast<Status>(ERROR_NO_MORE_ITEMS));
  EXPECT_EQ(key->EnumKey(5, name), static_cast<Status>(ERROR_NO_MORE_ITEMS));
}

TEST_F(RegistryTest, TheRootsCannotBeDeletedButAnOrdinaryKeyCanDeleteItself) {
  Create(HKEY_LOCAL_MACHINE, "Tree\\A\\B");
  Key root;
  ASSERT_EQ(registry_->OpenKey(HKEY_LOCAL_MACHINE, "", root), ERROR_SUCCESS);
  EXPECT_EQ(root->DeleteSubKey(""), static_cast<Status>(ERROR_ACCESS_DENIED));
  Key classes;
  ASSERT_EQ(registry_->OpenKey(HKEY_CLASSES_ROOT, "", classes), ERROR_SUCCESS);
  EXPECT_EQ(classes->DeleteSubKey("\\"), static_cast<Status>(ERROR_ACCESS_DENIED));
  Key tree = Create(HKEY_LOCAL_MACHINE, "Tree");
  EXPECT_EQ(tree->DeleteSubKey(""), ERROR_SUCCESS);
  EXPECT_EQ(SubkeysByReopening(HKEY_LOCAL_MACHINE, ""), std::vector<std::string>{"Software"});
}

TEST_F(RegistryTest, AHandleOfADeletedKeyReportsKeyDeleted) {
  Key stale = Create(HKEY_LOCAL_MACHINE, "Gone\\Child");
  ASSERT_EQ(stale->SetValue("v", REG_SZ, std::string("1\0", 2)), ERROR_SUCCESS);
  Key root;
  ASSERT_EQ(registry_->OpenKey(HKEY_LOCAL_MACHINE, "", root), ERROR_SUCCESS);
  ASSERT_EQ(root->DeleteSubKey("Gone"), ERROR_SUCCESS);
  // Recreated under the same name, it is a different key.
  Create(HKEY_LOCAL_MACHINE, "Gone\\Child");

  const Status deleted = ERROR_KEY_DELETED;
  std::uint32_t type = 0;
  std::string name, data;
  EXPECT_EQ(stale->QueryValue("v", type, data), deleted);
  EXPECT_EQ(stale->SetValue("w", REG_SZ, "x"), deleted);
  EXPECT_EQ(stale->DeleteValue("v"), deleted);
  EXPECT_EQ(stale->EnumKey(0, name), deleted);
  EXPECT_EQ(stale->EnumValue(0, name, type, data), deleted);
  EXPECT_EQ(stale->DeleteSubKey("x"), deleted);
  EXPECT_EQ(stale->Flush(), deleted);
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Gone\\Child", "w"), "<status 2>");
}

TEST_F(RegistryTest, EnumerationFollowsChangesBetweenIndexes) {
  Key key = Create(HKEY_LOCAL_MACHINE, "Walk");
  for (char c = 'a'; c <= 'e'; ++c) {
    ASSERT_EQ(key->SetValue(std::string(1, c), REG_SZ, "x"), ERROR_SUCCESS);
    Create(HKEY_LOCAL_MACHINE, std::string("Walk\\") + c);
  }
  std::string name, data;
  std::uint32_t type = 0;
  ASSERT_EQ(key->EnumValue(1, name, type, data), ERROR_SUCCESS);
  EXPECT_EQ(name, "b");
  ASSERT_EQ(key->DeleteValue("a"), ERROR_SUCCESS);
  ASSERT_EQ(key->EnumValue(1, name, type, data), ERROR_SUCCESS);
  EXPECT_EQ(name, "c");
  ASSERT_EQ(key->SetValue("b", REG_SZ, "changed"), ERROR_SUCCESS);
  ASSERT_EQ(key->EnumValue(0, name, type, data), ERROR_SUCCESS);
  EXPECT_EQ(data, "changed");
  ASSERT_EQ(key->SetValue("f", REG_SZ, "x"), ERROR_SUCCESS);
  ASSERT_EQ(key->EnumValue(4, name, type, data), ERROR_SUCCESS);
  EXPECT_EQ(name, "f");

  ASSERT_EQ(key->EnumKey(4, name), ERROR_SUCCESS);
  EXPECT_EQ(name, "e");
  ASSERT_EQ(key->DeleteSubKey("b"), ERROR_SUCCESS);
  Create(HKEY_LOCAL_MACHINE, "Walk\\0");
  EXPECT_EQ(SubkeysByReopening(HKEY_LOCAL_MACHINE, "Walk"),
            (std::vector<std::string>{"0", "a", "c", "d", "e"}));

  // A change committed by another connection (another process) is seen too.
  ASSERT_EQ(registry_->Commit(), ERROR_SUCCESS);
  auto other = OpenAt(path_);
  {
    Key otherKey;
    ASSERT_EQ(other->CreateKey(HKEY_LOCAL_MACHINE, "Walk\\b2", otherKey), ERROR_SUCCESS);
  }
  EXPECT_EQ(SubkeysByReopening(HKEY_LOCAL_MACHINE, "Walk"),
            (std::vector<std::string>{"0", "a", "b2", "c", "d", "e"}));
}

TEST_F(RegistryTest, WritesBecomeVisibleToOthersWhenCommitted) {
  auto other = OpenAt(path_);
  {
    Key key = Create(HKEY_LOCAL_MACHINE, "Commit");
    ASSERT_EQ(key->SetValue("flushed", REG_SZ, std::string("1\0", 2)), ERROR_SUCCESS);
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Commit", "flushed", other.get()), "<status 2>");
    ASSERT_EQ(key->Flush(), ERROR_SUCCESS);
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Commit", "flushed", other.get()), "1");
    ASSERT_EQ(key->SetValue("closed", REG_SZ, std::string("2\0", 2)), ERROR_SUCCESS);
  }
  // Closing a key that wrote commits.
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Commit", "closed", other.get()), "2");

  // Deferred: nothing is committed until Commit, and Rollback undoes everything since.
  registry_->DeferCommits(true);
  {
    Key key = Create(HKEY_LOCAL_MACHINE, "Commit\\Batch");
    ASSERT_EQ(key->SetValue("b", REG_SZ, "x"), ERROR_SUCCESS);
    ASSERT_EQ(key->Flush(), ERROR_SUCCESS);
  }
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Commit\\Batch", "b", other.get()), "<status 2>");
  ASSERT_EQ(registry_->Rollback(), ERROR_SUCCESS);
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Commit\\Batch", "b"), "<status 2>");
  {
    Key key = Create(HKEY_LOCAL_MACHINE, "Commit\\Batch");
    ASSERT_EQ(key->SetValue("b", REG_SZ, std::string("y\0", 2)), ERROR_SUCCESS);
  }
  ASSERT_EQ(registry_->Commit(), ERROR_SUCCESS);
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Commit\\Batch", "b", other.get()), "y");
}

// Runs |child| in a forked process with its own connection; returns its wait status.
int RunChild(const std::function<void()>& child) {
  const pid_t pid = fork();
  if (pid == 0) {
    child();
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

TEST_F(RegistryTest, AnExitWithoutCommitKeepsOnlyWhatWasFlushed) {
  registry_.reset();
  RunChild([&] {
    std::string error;
    auto registry = SandboxRegistry::Open(path_, &error);
    Key key;
    if (!registry || registry->CreateKey(HKEY_LOCAL_MACHINE, "Crash", key) != 0) _exit(3);
    key->SetValue("flushed", REG_SZ, std::string("1\0", 2));
    key->Flush();
    key->SetValue("pending", REG_SZ, std::string("2\0", 2));
    _exit(0);  // no destructor runs: the pending write is lost, as on a crash
  });
  registry_ = OpenAt(path_);
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Crash", "flushed"), "1");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, "Crash", "pending"), "<status 2>");
}

TEST_F(RegistryTest, AWriterKilledMidWayLeavesAConsistentStoreWithEveryFlushedValue) {
  registry_.reset();
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    std::string error;
    auto registry = SandboxRegistry::Open(path_, &error);
    for (int i = 0; registry; ++i) {
      Key key;
      registry->CreateKey(HKEY_LOCAL_MACHINE, "Killed\\K" + std::to_string(i % 7), key);
      const std::string text = std::string(100 + i % 300, 'x') + std::to_string(i) + '\0';
      key->SetValue("v" + std::to_string(i), REG_SZ, text);
      if (key->Flush() != ERROR_SUCCESS) break;
      if (write(pipeFds[1], &i, sizeof i) != sizeof i) break;
    }
    _exit(1);
  }
  close(pipeFds[1]);
  int lastFlushed = -1, received = 0;
  while (received < 400 &&
         read(pipeFds[0], &lastFlushed, sizeof lastFlushed) == sizeof lastFlushed) {
    ++received;
  }
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  close(pipeFds[0]);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_GE(lastFlushed, 399);

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
  std::string check;
  sqlite3_exec(
      db, "PRAGMA integrity_check",
      [](void* out, int, char** values, char**) {
        *static_cast<std::string*>(out) += values[0];
        return 0;
      },
      &check, nullptr);
  sqlite3_close(db);
  EXPECT_EQ(check, "ok");

  registry_ = OpenAt(path_);
  for (int i = 0; i <= lastFlushed; ++i) {
    const std::string expected = std::string(100 + i % 300, 'x') + std::to_string(i);
    ASSERT_EQ(
        Text(HKEY_LOCAL_MACHINE, "Killed\\K" + std::to_string(i % 7), "v" + std::to_string(i)),
        expected);
  }
}

TEST_F(RegistryTest, ReopeningForEveryIndexReadsEachListingOnce) {
  // The programs reopen the key for every index; reading the listing again each time would
  // make an enumeration quadratic.
  constexpr int kValues = 3000, kBranches = 30, kLeaves = 40;
  registry_->DeferCommits(true);
  {
    Key flat = Create(HKEY_LOCAL_MACHINE, "Big\\Values");
    for (int i = 0; i < kValues; ++i) {
      ASSERT_EQ(flat->SetValue("v" + std::to_string(i), REG_DWORD, "1234"), ERROR_SUCCESS);
    }
    for (int i = 0; i < kBranches; ++i) {
      for (int j = 0; j < kLeaves; ++j) {
        Create(HKEY_LOCAL_MACHINE, "Big\\Tree\\" + std::to_string(i) + "\\" + std::to_string(j));
      }
    }
  }
  ASSERT_EQ(registry_->Commit(), ERROR_SUCCESS);
  registry_->DeferCommits(false);

  std::uint64_t before = registry_->listingsLoaded();
  int values = 0;
  for (std::uint32_t i = 0;; ++i, ++values) {
    Key key;
    ASSERT_EQ(registry_->OpenKey(HKEY_LOCAL_MACHINE, "Big\\Values", key), ERROR_SUCCESS);
    std::string name, data;
    std::uint32_t type = 0;
    if (key->EnumValue(i, name, type, data) != ERROR_SUCCESS) break;
    ASSERT_EQ(name, "v" + std::to_string(i));
  }
  EXPECT_EQ(values, kValues);
  EXPECT_EQ(registry_->listingsLoaded() - before, 1u);

  // The scanners' walk: each subkey in turn, recursively. Every level keeps its listing while
  // the levels below it are walked.
  before = registry_->listingsLoaded();
  int keys = 0;
  std::function<void(const std::string&)> walk = [&](const std::string& path) {
    for (std::uint32_t i = 0;; ++i) {
      Key key;
      std::string child;
      if (registry_->OpenKey(HKEY_LOCAL_MACHINE, path, key) != ERROR_SUCCESS) break;
      if (key->EnumKey(i, child) != ERROR_SUCCESS) break;
      key.reset();
      ++keys;
      walk(path + "\\" + child);
    }
  };
  walk("Big\\Tree");
  EXPECT_EQ(keys, kBranches * (kLeaves + 1));
  EXPECT_EQ(registry_->listingsLoaded() - before, static_cast<std::uint64_t>(keys + 1));
}

}  // namespace
}  // namespace vu::platform::sandbox
