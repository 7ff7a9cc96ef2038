// DeleteRegistryKey must never hand a root's own branch to the seam: on a real machine that would
// empty HKEY_CURRENT_USER. A recording wrapper around the machine's registry stands between the
// layer and the back end and refuses such a call itself, so a fault here cannot do harm.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/registry_mod.h"
#include "tests/contract/env.h"
#include "tests/contract/seam_helpers.h"

namespace vu::contract {
namespace {

using vu::platform::Registry;
using vu::platform::RegistryKey;

class RecordingKey : public RegistryKey {
 public:
  RecordingKey(std::unique_ptr<RegistryKey> inner, std::vector<std::string>& deletes)
      : inner_(std::move(inner)), deletes_(deletes) {}
  Status QueryValue(std::string_view name, std::uint32_t& type, std::string& data) override {
    return inner_->QueryValue(name, type, data);
  }
  Status SetValue(std::string_view name, std::uint32_t type, std::string_view data) override {
    return inner_->SetValue(name, type, data);
  }
  Status Flush() override { return inner_->Flush(); }
  Status DeleteSubKey(std::string_view path) override {
    deletes_.emplace_back(path);
    if (path.find_first_not_of('\\') == std::string_view::npos) return ERROR_ACCESS_DENIED;
    return inner_->DeleteSubKey(path);
  }
  Status DeleteValue(std::string_view name) override { return inner_->DeleteValue(name); }
  Status EnumKey(std::uint32_t index, std::string& name) override {
    return inner_->EnumKey(index, name);
  }
  Status EnumValue(std::uint32_t index, std::string& name, std::uint32_t& type,
                   std::string& data) override {
    return inner_->EnumValue(index, name, type, data);
  }

 private:
  std::unique_ptr<RegistryKey> inner_;
  std::vector<std::string>& deletes_;
};

class RecordingRegistry : public Registry {
 public:
  explicit RecordingRegistry(Registry& inner) : inner_(inner) {}
  Status OpenKey(RootKey root, std::string_view path, std::unique_ptr<RegistryKey>& key) override {
    return Wrap(inner_.OpenKey(root, path, key), key);
  }
  Status CreateKey(RootKey root, std::string_view path,
                   std::unique_ptr<RegistryKey>& key) override {
    return Wrap(inner_.CreateKey(root, path, key), key);
  }
  std::vector<std::string> deletes;

 private:
  Status Wrap(Status status, std::unique_ptr<RegistryKey>& key) {
    if (key) key = std::make_unique<RecordingKey>(std::move(key), deletes);
    return status;
  }
  Registry& inner_;
};

class RegistryRootGuardTest : public ContractTest {};

TEST_F(RegistryRootGuardTest, EmptyPathDeletesNothing) {
  RecordingRegistry recorder(registry());
  for (const char* path : {"", "\\", "\\\\"}) {
    EXPECT_NE(vu::common::DeleteRegistryKeyChecked(recorder, HKEY_CURRENT_USER, path),
              static_cast<Status>(ERROR_SUCCESS))
        << "path \"" << path << "\"";
  }
  EXPECT_TRUE(recorder.deletes.empty());
}

TEST_F(RegistryRootGuardTest, SubkeyIsDeletedFromTheOpenRoot) {
  ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, Key("Doomed\\Child"), "x", REG_SZ, "1"),
            ERROR_SUCCESS);
  RecordingRegistry recorder(registry());
  vu::common::DeleteRegistryKey(recorder, HKEY_CURRENT_USER, Key("Doomed"));
  EXPECT_EQ(recorder.deletes, std::vector<std::string>{Key("Doomed")});
  EXPECT_FALSE(KeyExists(registry(), HKEY_CURRENT_USER, Key("Doomed")));
}

}  // namespace
}  // namespace vu::contract
