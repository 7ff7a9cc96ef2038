// The registry seam itself, as both back ends must provide it: data kept exactly as written, the
// status codes the layer and the programs rely on, aliasing of paths.
#include <memory>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "tests/contract/env.h"
#include "tests/contract/seam_helpers.h"

namespace vu::contract {
namespace {

class RegistrySeamTest : public ContractTest {};

TEST_F(RegistrySeamTest, DataComesBackExactlyAsStored) {
  const std::string cases[] = {std::string("abc\0", 4), "abc", std::string("a\0b\0\0", 5),
                               std::string("\0", 1),    "",    std::string("Velloria\u2122\0", 12)};
  int n = 0;
  for (const std::string& data : cases) {
    for (std::uint32_t type : {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ}) {
      const std::string name = "t" + std::to_string(n++);
      ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, key(), name, type, data), ERROR_SUCCESS);
      const RawValue value = GetValue(registry(), HKEY_CURRENT_USER, key(), name);
      EXPECT_EQ(value.status, static_cast<Status>(ERROR_SUCCESS));
      EXPECT_EQ(value.type, type);
      EXPECT_EQ(value.data, data) << "type " << type;
    }
  }
  // Binary data, empty or not, and a type the system does not know, kept with its number.
  for (const auto& [type, data] : {std::pair<std::uint32_t, std::string>{REG_BINARY, ""},
                                   {REG_BINARY, Bytes({0, 0xFF, 0x80, 0x0D, 0x0A, 0})},
                                   {0x1234u, "odd type"}}) {
    const std::string name = "b" + std::to_string(n++);
    ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, key(), name, type, data), ERROR_SUCCESS);
    const RawValue value = GetValue(registry(), HKEY_CURRENT_USER, key(), name);
    EXPECT_EQ(value.type, type);
    EXPECT_EQ(value.data, data) << "type " << type;
  }
}

TEST_F(RegistrySeamTest, MissingThingsReportFileNotFoundAndAnUnknownRootAnInvalidHandle) {
  std::unique_ptr<vu::platform::RegistryKey> handle;
  EXPECT_EQ(registry().OpenKey(HKEY_CURRENT_USER, Key("Nope"), handle),
            static_cast<Status>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(registry().OpenKey(0x1234u, "Software", handle),
            static_cast<Status>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(registry().CreateKey(0x1234u, "X", handle), static_cast<Status>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(handle, nullptr);

  ASSERT_EQ(registry().CreateKey(HKEY_CURRENT_USER, key(), handle), ERROR_SUCCESS);
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(handle->QueryValue("nope", type, data), static_cast<Status>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(handle->DeleteValue("nope"), static_cast<Status>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(handle->DeleteSubKey("nope"), static_cast<Status>(ERROR_FILE_NOT_FOUND));
  std::string name;
  EXPECT_EQ(handle->EnumKey(0, name), static_cast<Status>(ERROR_NO_MORE_ITEMS));
  EXPECT_EQ(handle->EnumValue(0, name, type, data), static_cast<Status>(ERROR_NO_MORE_ITEMS));
  EXPECT_EQ(handle->Flush(), static_cast<Status>(ERROR_SUCCESS));
}

TEST_F(RegistrySeamTest, EmptyPathOpensTheRoot) {
  std::unique_ptr<vu::platform::RegistryKey> root;
  ASSERT_EQ(registry().OpenKey(HKEY_CURRENT_USER, "", root), ERROR_SUCCESS);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, Key("Child"), "x", REG_SZ, "1"), ERROR_SUCCESS);
  EXPECT_EQ(root->DeleteSubKey(Key("Child")), static_cast<Status>(ERROR_SUCCESS));
  EXPECT_FALSE(KeyExists(registry(), HKEY_CURRENT_USER, Key("Child")));
}

TEST_F(RegistrySeamTest, DeletingAKeyTakesItsWholeBranchAndNothingElse) {
  // Several siblings at each level, so that a deletion that shifts the enumeration would miss
  // some; and a sibling whose name begins with the deleted one's.
  for (const char* path : {"B\\one", "B\\two\\deep\\deeper", "B\\two\\side", "B\\three\\x",
                           "B\\three\\y", "B\\three\\z", "BB", "A\\B\\C\\D"}) {
    ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, Key(path), "v", REG_SZ, "1"), ERROR_SUCCESS);
  }
  std::unique_ptr<vu::platform::RegistryKey> parent;
  ASSERT_EQ(registry().OpenKey(HKEY_CURRENT_USER, key(), parent), ERROR_SUCCESS);
  EXPECT_EQ(parent->DeleteSubKey("b"), static_cast<Status>(ERROR_SUCCESS));
  EXPECT_FALSE(KeyExists(registry(), HKEY_CURRENT_USER, Key("B")));
  EXPECT_TRUE(KeyExists(registry(), HKEY_CURRENT_USER, Key("BB")));
  EXPECT_EQ(parent->DeleteSubKey("B"), static_cast<Status>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(parent->DeleteSubKey("BB\\Missing"), static_cast<Status>(ERROR_FILE_NOT_FOUND));
  // A branch named by a path below the open key, with a leading backslash as some of the
  // programs write it.
  EXPECT_EQ(parent->DeleteSubKey("\\A\\B"), static_cast<Status>(ERROR_SUCCESS));
  EXPECT_FALSE(KeyExists(registry(), HKEY_CURRENT_USER, Key("A\\B")));
  EXPECT_TRUE(KeyExists(registry(), HKEY_CURRENT_USER, Key("A")));
  // A key made again under a deleted name starts empty.
  ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, Key("B\\one"), "w", REG_SZ, "2"),
            ERROR_SUCCESS);
  EXPECT_EQ(GetValue(registry(), HKEY_CURRENT_USER, Key("B\\one"), "v").status,
            static_cast<Status>(ERROR_FILE_NOT_FOUND));
}

TEST_F(RegistrySeamTest, SetValueOnExistingNameReplacesIt) {
  ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, key(), "Name", REG_SZ, "one"), ERROR_SUCCESS);
  ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, key(), "NAME", REG_BINARY, "2"), ERROR_SUCCESS);
  std::unique_ptr<vu::platform::RegistryKey> handle;
  ASSERT_EQ(registry().OpenKey(HKEY_CURRENT_USER, key(), handle), ERROR_SUCCESS);
  std::string name;
  std::uint32_t type = 0;
  std::string data;
  ASSERT_EQ(handle->EnumValue(0, name, type, data), ERROR_SUCCESS);
  // One value only, keeping the spelling it was created with.
  EXPECT_EQ(name, "Name");
  EXPECT_EQ(type, static_cast<std::uint32_t>(REG_BINARY));
  EXPECT_EQ(data, "2");
  EXPECT_EQ(handle->EnumValue(1, name, type, data), static_cast<Status>(ERROR_NO_MORE_ITEMS));
}

}  // namespace
}  // namespace vu::contract
