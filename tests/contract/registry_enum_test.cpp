// EnumRegistryKey and EnumRegistryValue over both back ends: enumerating by index until
// "Not Found", the data texts, and the 2048-byte buffers.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/registry_mod.h"
#include "platform/text.h"
#include "tests/contract/env.h"
#include "tests/contract/seam_helpers.h"

namespace vu::contract {
namespace {

using vu::common::EnumRegistryKey;
using vu::common::EnumRegistryValue;
using vu::common::RegistryEntry;

class RegistryEnumTest : public ContractTest {
 protected:
  void Put(const std::string& path, const std::string& name, std::uint32_t type,
           const std::string& data) {
    ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, path, name, type, data), ERROR_SUCCESS);
  }
  void MakeKey(const std::string& path) {
    std::unique_ptr<vu::platform::RegistryKey> handle;
    ASSERT_EQ(registry().CreateKey(HKEY_CURRENT_USER, path, handle), ERROR_SUCCESS);
  }
  // Every subkey name, calling with 0, 1, 2, ... until "Not Found" (at most |limit| calls).
  std::vector<std::string> AllKeys(const std::string& path, int limit = 50) {
    std::vector<std::string> names;
    for (std::uint32_t i = 0; static_cast<int>(i) < limit; ++i) {
      std::string name = EnumRegistryKey(registry(), HKEY_CURRENT_USER, path, i);
      if (name == "Not Found") break;
      names.push_back(name);
    }
    return names;
  }
  std::vector<RegistryEntry> AllValues(const std::string& path, int limit = 50) {
    std::vector<RegistryEntry> entries;
    for (std::uint32_t i = 0; static_cast<int>(i) < limit; ++i) {
      RegistryEntry entry = EnumRegistryValue(registry(), HKEY_CURRENT_USER, path, i);
      if (entry.data == "Not Found") break;
      entries.push_back(entry);
    }
    return entries;
  }
};

TEST_F(RegistryEnumTest, SubkeysComeInCaseInsensitiveOrderThenNotFound) {
  for (const char* name : {"Beta", "alpha", "Gamma"})
    MakeKey(Key(std::string("Parent\\") + name));
  EXPECT_EQ(AllKeys(Key("Parent")), (std::vector<std::string>{"alpha", "Beta", "Gamma"}));
  EXPECT_EQ(EnumRegistryKey(registry(), HKEY_CURRENT_USER, Key("Parent"), 3), "Not Found");
  EXPECT_EQ(EnumRegistryKey(registry(), HKEY_CURRENT_USER, Key("Parent"), 1000), "Not Found");
  // The scanners keep their key paths with a trailing backslash.
  EXPECT_EQ(EnumRegistryKey(registry(), HKEY_CURRENT_USER, Key("Parent\\"), 0), "alpha");
}

TEST_F(RegistryEnumTest, MissingOrEmptyKeyEndsAtOnce) {
  EXPECT_EQ(EnumRegistryKey(registry(), HKEY_CURRENT_USER, Key("Missing"), 0), "Not Found");
  EXPECT_EQ(EnumRegistryValue(registry(), HKEY_CURRENT_USER, Key("Missing"), 0).data, "Not Found");
  MakeKey(Key("Empty"));
  EXPECT_EQ(EnumRegistryKey(registry(), HKEY_CURRENT_USER, Key("Empty"), 0), "Not Found");
  EXPECT_EQ(EnumRegistryValue(registry(), HKEY_CURRENT_USER, Key("Empty"), 0).data, "Not Found");
}

TEST_F(RegistryEnumTest, ValuesComeWithTypeNameAndDataText) {
  const std::string path = Key("Values");
  Put(path, "Text", REG_SZ, std::string("abc\0", 4));
  Put(path, "Count", REG_DWORD, Bytes({5, 0, 0, 0}));
  Put(path, "Blob", REG_BINARY, "ABC");
  Put(path, "Empty", REG_BINARY, "");
  Put(path, "Expand", REG_EXPAND_SZ, std::string("%x%\0", 4));
  Put(path, "High", REG_BINARY, Bytes({0x41, 0xE9, 0xFF}));

  std::vector<RegistryEntry> entries = AllValues(path);
  std::vector<std::string> names;
  for (const auto& e : entries)
    names.push_back(e.name);
  std::vector<std::string> expected = {"Text", "Count", "Blob", "Empty", "Expand", "High"};
  if (!traits().valuesInCreationOrder) {
    std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
      return vu::platform::CompareNoCase(a, b) < 0;
    });
  }
  EXPECT_EQ(names, expected);

  std::map<std::string, std::pair<std::uint32_t, std::string>> byName;
  for (const auto& e : entries)
    byName[e.name] = {e.type, e.data};
  using Entry = std::pair<std::uint32_t, std::string>;
  EXPECT_EQ(byName["Text"], (Entry{REG_SZ, "abc"}));
  EXPECT_EQ(byName["Count"], (Entry{REG_DWORD, "005"}));
  // Binary data is not turned into hex here: its characters, less the last byte.
  EXPECT_EQ(byName["Blob"], (Entry{REG_BINARY, "AB"}));
  EXPECT_EQ(byName["Empty"], (Entry{REG_BINARY, ""}));
  EXPECT_EQ(byName["Expand"], (Entry{REG_EXPAND_SZ, "%x%"}));
  EXPECT_EQ(byName["High"], (Entry{REG_BINARY, "A\u00e9"}));

  EXPECT_EQ(EnumRegistryValue(registry(), HKEY_CURRENT_USER, path, 6).data, "Not Found");
  EXPECT_EQ(EnumRegistryValue(registry(), HKEY_CURRENT_USER, path + "\\", 0).data,
            entries.at(0).data);
}

TEST_F(RegistryEnumTest, ValueLongerThanTheBufferEndsTheEnumeration) {
  Put(Key("Fits"), "big", REG_BINARY, std::string(2048, 'x'));
  EXPECT_EQ(EnumRegistryValue(registry(), HKEY_CURRENT_USER, Key("Fits"), 0).data,
            std::string(2047, 'x'));
  Put(Key("TooBig"), "big", REG_SZ, std::string(2048, 'x') + '\0');
  EXPECT_EQ(EnumRegistryValue(registry(), HKEY_CURRENT_USER, Key("TooBig"), 0).data, "Not Found");
}

TEST_F(RegistryEnumTest, NonAsciiNamesComeBackWhole) {
  MakeKey(Key("Names\\Caf\u00e9\u2122"));
  Put(Key("Names"), "Gr\u00f6\u00dfe\u2122", REG_SZ, std::string("Velloria\u2122\0", 12));
  EXPECT_EQ(AllKeys(Key("Names")), std::vector<std::string>{"Caf\u00e9\u2122"});
  const RegistryEntry entry = EnumRegistryValue(registry(), HKEY_CURRENT_USER, Key("Names"), 0);
  EXPECT_EQ(entry.name, "Gr\u00f6\u00dfe\u2122");
  EXPECT_EQ(entry.data, "Velloria\u2122");
}

TEST_F(RegistryEnumTest, DataSpellingNotFoundIsIndistinguishableFromTheEnd) {
  Put(Key("Trap"), "x", REG_SZ, std::string("Not Found\0", 10));
  MakeKey(Key("Trap\\Not Found"));
  EXPECT_TRUE(AllValues(Key("Trap")).empty());
  EXPECT_TRUE(AllKeys(Key("Trap")).empty());
}

}  // namespace
}  // namespace vu::contract
