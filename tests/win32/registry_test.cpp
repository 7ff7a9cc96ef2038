// The Win32 registry back end: the open key is never deleted through an empty path, and names
// and data beyond the ANSI code page come back whole through every call.
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

TEST_F(Win32RegistryTest, AnEmptyPathNeverDeletesTheOpenKey) {
  // Such a path would name the open key itself.
  ASSERT_EQ(Put(key(), "v", REG_SZ, ""), ERROR_SUCCESS);
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
