// The fault injector over each back end: a planned fault stops the call before it reaches the
// machine (nothing changes), every other call goes through unchanged, and a rule names its
// subject however the caller spells the path.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/faulty_machine.h"
#include "tests/contract/env.h"
#include "tests/contract/seam_helpers.h"

namespace vu::contract {
namespace {

using vu::platform::Op;

class FaultsTest : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    faulty_ = std::make_unique<vu::platform::FaultyMachine>(machine());
  }
  void TearDown() override {
    faulty_.reset();
    ContractTest::TearDown();
  }
  vu::platform::FaultPlan& plan() { return faulty_->faults(); }
  vu::platform::FileSystem& faultyFiles() { return faulty_->files(); }
  vu::platform::Registry& faultyRegistry() { return faulty_->registry(); }
  bool Exists(const std::string& path) {
    return files().Attributes(path) != INVALID_FILE_ATTRIBUTES;
  }

  std::unique_ptr<vu::platform::FaultyMachine> faulty_;
};

TEST_F(FaultsTest, TheNthCallFailsWithoutReachingTheMachineAndTheOthersPassThrough) {
  plan().FailNth(Op::WriteAll, 2, ERROR_DISK_FULL);
  EXPECT_EQ(faultyFiles().WriteAll(Path("one.txt"), "1"), ERROR_SUCCESS);
  EXPECT_EQ(faultyFiles().WriteAll(Path("two.txt"), "2"), static_cast<Status>(ERROR_DISK_FULL));
  EXPECT_EQ(faultyFiles().WriteAll(Path("three.txt"), "3"), ERROR_SUCCESS);
  EXPECT_TRUE(Exists(Path("one.txt")));
  EXPECT_FALSE(Exists(Path("two.txt")));
  std::string bytes;
  EXPECT_EQ(faultyFiles().ReadAll(Path("three.txt"), bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "3");
}

TEST_F(FaultsTest, ASubjectRuleMatchesThePathHoweverItIsSpelled) {
  ASSERT_EQ(files().WriteAll(Path("Keep.txt"), "k"), ERROR_SUCCESS);
  std::string error;
  ASSERT_TRUE(plan().Add("Remove:=" + Path("KEEP.TXT") + ":ERROR_ACCESS_DENIED", error)) << error;
  ASSERT_TRUE(plan().Add("Attributes:=" + Path("keep.txt") + ":5", error)) << error;
  std::string odd = Path("x\\..\\.\\keep.txt");
  for (char& c : odd) {
    if (c == '\\') c = '/';
  }
  Status status = ERROR_SUCCESS;
  EXPECT_EQ(faultyFiles().Attributes(odd, &status), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(status, static_cast<Status>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(faultyFiles().Remove(odd), static_cast<Status>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(faultyFiles().Remove(Path("keep.txt")), static_cast<Status>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(Exists(Path("Keep.txt")));
  // Another file is not the subject: it goes.
  ASSERT_EQ(files().WriteAll(Path("other.txt"), "o"), ERROR_SUCCESS);
  EXPECT_EQ(faultyFiles().Remove(Path("other.txt")), ERROR_SUCCESS);
  EXPECT_FALSE(Exists(Path("other.txt")));
}

TEST_F(FaultsTest, ACopyFailsWhenEitherPathIsTheSubject) {
  ASSERT_EQ(files().WriteAll(Path("from.txt"), "f"), ERROR_SUCCESS);
  plan().FailSubject(Op::Copy, Path("to.txt"), ERROR_WRITE_PROTECT);
  EXPECT_EQ(faultyFiles().Copy(Path("from.txt"), Path("to.txt"), false),
            static_cast<Status>(ERROR_WRITE_PROTECT));
  EXPECT_FALSE(Exists(Path("to.txt")));
  EXPECT_EQ(faultyFiles().Copy(Path("from.txt"), Path("elsewhere.txt"), false), ERROR_SUCCESS);
  EXPECT_TRUE(Exists(Path("elsewhere.txt")));
}

TEST_F(FaultsTest, RegistryRulesNameKeyPathsAndValueNames) {
  ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, Key("Blocked"), "secret", REG_SZ,
                     std::string("s\0", 2)),
            ERROR_SUCCESS);
  plan().FailSubject(Op::RegOpenKey, Key("Blocked"), ERROR_ACCESS_DENIED);
  plan().FailSubject(Op::RegQueryValue, "SECRET", ERROR_CANTREAD);
  std::unique_ptr<vu::platform::RegistryKey> blocked;
  EXPECT_EQ(faultyRegistry().OpenKey(HKEY_CURRENT_USER, "\\" + Key("blocked") + "\\", blocked),
            static_cast<Status>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(blocked, nullptr);
  ASSERT_EQ(faultyRegistry().CreateKey(HKEY_CURRENT_USER, Key("Blocked"), blocked), ERROR_SUCCESS);
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(blocked->QueryValue("secret", type, data), static_cast<Status>(ERROR_CANTREAD));

  // A refused write leaves the registry as it was; the next one goes through.
  plan().FailNth(Op::RegSetValue, 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(blocked->SetValue("new", REG_SZ, std::string("n\0", 2)),
            static_cast<Status>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(GetValue(registry(), HKEY_CURRENT_USER, Key("Blocked"), "new").status,
            static_cast<Status>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(blocked->SetValue("new", REG_SZ, std::string("n\0", 2)), ERROR_SUCCESS);
  EXPECT_EQ(blocked->Flush(), ERROR_SUCCESS);
  EXPECT_EQ(GetValue(registry(), HKEY_CURRENT_USER, Key("Blocked"), "new").status, ERROR_SUCCESS);

  plan().FailSubject(Op::RegEnumKey, Key("Blocked"), ERROR_BADKEY);
  std::string name;
  EXPECT_EQ(blocked->EnumKey(0, name), static_cast<Status>(ERROR_BADKEY));
  plan().FailNth(Op::RegDeleteKey, 1, ERROR_ACCESS_DENIED);
  std::unique_ptr<vu::platform::RegistryKey> parent;
  ASSERT_EQ(faultyRegistry().OpenKey(HKEY_CURRENT_USER, key(), parent), ERROR_SUCCESS);
  EXPECT_EQ(parent->DeleteSubKey("Blocked"), static_cast<Status>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(GetValue(registry(), HKEY_CURRENT_USER, Key("Blocked"), "secret").status,
            ERROR_SUCCESS);
}

TEST_F(FaultsTest, ClearedRulesNoLongerFail) {
  plan().FailSubject(Op::MakeDirectory, Path("Made"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(faultyFiles().MakeDirectory(Path("Made")), static_cast<Status>(ERROR_ACCESS_DENIED));
  plan().Clear();
  EXPECT_EQ(faultyFiles().MakeDirectory(Path("Made")), ERROR_SUCCESS);
  EXPECT_TRUE(Exists(Path("Made")));
}

}  // namespace
}  // namespace vu::contract
