// The Win32 registry back end: whole-branch deletion on a registry that refuses to delete a key
// with subkeys, and names and data that are not ASCII.
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "tests/win32/scratch.h"

namespace vu::win32_tests {
namespace {

using platform::RegistryKey;
using platform::Status;

class Win32RegistryTest : public Win32Test {
 protected:
  Status Put(const std::string& path, const std::string& name, std::uint32_t type,
             const std::string& data) {
    std::unique_ptr<RegistryKey> k;
    const Status created = registry().CreateKey(HKEY_CURRENT_USER, path, k);
    return created != ERROR_SUCCESS ? created : k->SetValue(name, type, data);
  }
  bool Exists(const std::string& path) {
    std::unique_ptr<RegistryKey> k;
    return registry().OpenKey(HKEY_CURRENT_USER, path, k) == ERROR_SUCCESS;
  }
  std::unique_ptr<RegistryKey> Open(const std::string& path) {
    std::unique_ptr<RegistryKey> k;
    EXPECT_EQ(registry().OpenKey(HKEY_CURRENT_USER, path, k), ERROR_SUCCESS) << path;
    return k;
  }
};

TEST_F(Win32RegistryTest, DeletesAWholeBranchDepthFirst) {
  // Several siblings at each level, so a deletion that shifts the enumeration would miss some.
  for (const char* path : {"B\\one", "B\\two\\deep\\deeper", "B\\two\\side", "B\\three\\x",
                           "B\\three\\y", "B\\three\\z"}) {
    ASSERT_EQ(Put(key() + "\\" + path, "v", REG_SZ, std::string("1\0", 2)), ERROR_SUCCESS);
  }
  ASSERT_EQ(Put(key() + "\\Keep", "v", REG_DWORD, std::string(4, '\0')), ERROR_SUCCESS);

  EXPECT_EQ(Open(key())->DeleteSubKey("B"), ERROR_SUCCESS);
  EXPECT_FALSE(Exists(key() + "\\B"));
  EXPECT_TRUE(Exists(key() + "\\Keep"));
}

TEST_F(Win32RegistryTest, DeletesABranchNamedByAPathBelowTheOpenKey) {
  ASSERT_EQ(Put(key() + "\\A\\B\\C\\D", "v", REG_SZ, ""), ERROR_SUCCESS);
  // Written with a leading backslash, as some of the programs' paths are.
  EXPECT_EQ(Open(key())->DeleteSubKey("\\A\\B"), ERROR_SUCCESS);
  EXPECT_FALSE(Exists(key() + "\\A\\B"));
  EXPECT_TRUE(Exists(key() + "\\A"));
}

TEST_F(Win32RegistryTest, RefusesToDeleteWhatIsNotThere) {
  ASSERT_EQ(Put(key(), "v", REG_SZ, ""), ERROR_SUCCESS);
  EXPECT_EQ(Open(key())->DeleteSubKey("Missing\\Branch"), ERROR_FILE_NOT_FOUND);
  // An empty path would name the open key itself.
  EXPECT_NE(Open(key())->DeleteSubKey(""), ERROR_SUCCESS);
  EXPECT_NE(Open(key())->DeleteSubKey("\\"), ERROR_SUCCESS);
  EXPECT_TRUE(Exists(key()));
}

TEST_F(Win32RegistryTest, NonAsciiNamesAndDataRoundTrip) {
  const std::string keyName = "Velloria\u2122 Caf\u00e9 \u8a2d\u5b9a";
  const std::string valueName = "\u00e9t\u00e9 \u65e5\u672c";
  const std::string text = std::string("C:\\Programme\\Caf\u00e9\u2122\\\u8a2d\u5b9a.exe") + '\0';
  ASSERT_EQ(Put(key() + "\\" + keyName, valueName, REG_SZ, text), ERROR_SUCCESS);

  std::string name;
  ASSERT_EQ(Open(key())->EnumKey(0, name), ERROR_SUCCESS);
  EXPECT_EQ(name, keyName);

  const auto k = Open(key() + "\\" + keyName);
  std::uint32_t type = 0;
  std::string data;
  ASSERT_EQ(k->QueryValue(valueName, type, data), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<std::uint32_t>(REG_SZ));
  EXPECT_EQ(data, text);

  ASSERT_EQ(k->EnumValue(0, name, type, data), ERROR_SUCCESS);
  EXPECT_EQ(name, valueName);
  EXPECT_EQ(data, text);
}

TEST_F(Win32RegistryTest, TextKeepsEveryStoredNulAndBinaryKeepsEveryByte) {
  const std::string multi("\u00e9a\0\u2122b\0\0", 10);
  const std::string binary("\x00\xff\xe9\x80\x00", 5);
  const std::string unterminated = "no terminator";
  ASSERT_EQ(Put(key(), "multi", REG_MULTI_SZ, multi), ERROR_SUCCESS);
  ASSERT_EQ(Put(key(), "binary", REG_BINARY, binary), ERROR_SUCCESS);
  ASSERT_EQ(Put(key(), "plain", REG_SZ, unterminated), ERROR_SUCCESS);

  const auto k = Open(key());
  std::map<std::string, std::string> read;
  std::string name;
  std::string data;
  std::uint32_t type = 0;
  for (std::uint32_t i = 0; k->EnumValue(i, name, type, data) == ERROR_SUCCESS; ++i) {
    read[name] = data;
  }
  EXPECT_EQ(read["multi"], multi);
  EXPECT_EQ(read["binary"], binary);
  EXPECT_EQ(read["plain"], unterminated);
  EXPECT_EQ(read.size(), 3u);
}

}  // namespace
}  // namespace vu::win32_tests
