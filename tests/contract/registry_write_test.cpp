// SetRegistryValue (both variants), DeleteRegistryValue and DeleteRegistryKey over both back
// ends, checked through the seam itself.
#include <string>

#include <gtest/gtest.h>

#include "common/registry_data.h"
#include "common/registry_mod.h"
#include "tests/contract/env.h"
#include "tests/contract/seam_helpers.h"

namespace vu::contract {
namespace {

using vu::common::RegistryData;

class RegistryWriteTest : public ContractTest {
 protected:
  RawValue Write(std::uint32_t type, const RegistryData& data) {
    const std::string name = "v" + std::to_string(next_++);
    vu::common::SetRegistryValue(registry(), HKEY_CURRENT_USER, key(), name, type, data);
    return GetValue(registry(), HKEY_CURRENT_USER, key(), name);
  }
  RawValue WriteAsInstaller(std::uint32_t type, const RegistryData& data) {
    const std::string name = "i" + std::to_string(next_++);
    vu::common::SetRegistryValueInstaller(registry(), HKEY_CURRENT_USER, key(), name, type, data);
    return GetValue(registry(), HKEY_CURRENT_USER, key(), name);
  }

 private:
  int next_ = 0;
};

void ExpectRaw(const RawValue& value, std::uint32_t type, const std::string& data) {
  EXPECT_EQ(value.status, static_cast<Status>(ERROR_SUCCESS));
  EXPECT_EQ(value.type, type);
  EXPECT_EQ(value.data, data);
}

TEST_F(RegistryWriteTest, EachTypeIsConvertedToWhatTheSeamStores) {
  std::string every;
  for (int b = 0; b < 256; ++b)
    every += static_cast<char>(b);
  const struct {
    std::uint32_t type;
    RegistryData data;
    std::string stored;
  } cases[] = {
      // A DWORD from text or a number; what cannot be converted is written as zero.
      {REG_DWORD, "53600", Bytes({0x60, 0xD1, 0, 0})},
      {REG_DWORD, std::int64_t{53600}, Bytes({0x60, 0xD1, 0, 0})},
      {REG_DWORD, " 7 ", Bytes({7, 0, 0, 0})},
      {REG_DWORD, "1.6", Bytes({2, 0, 0, 0})},
      {REG_DWORD, "-1", Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
      {REG_DWORD, "abc", Bytes({0, 0, 0, 0})},
      {REG_DWORD, "", Bytes({0, 0, 0, 0})},
      {REG_DWORD, "12abc", Bytes({0, 0, 0, 0})},
      {REG_DWORD, "4294967295", Bytes({0, 0, 0, 0})},
      {REG_DWORD, std::int64_t{4294967295}, Bytes({0, 0, 0, 0})},
      // A string gets its terminating NUL; only type 1 does, so an expandable string loses its
      // last character on reading.
      {REG_SZ, "0", std::string("0\0", 2)},
      {REG_SZ, std::int64_t{536}, std::string("536\0", 4)},
      {REG_SZ, "", std::string(1, '\0')},
      {REG_SZ, "Velloria\u2122", std::string("Velloria\u2122\0", 12)},
      {REG_EXPAND_SZ, "%windir%", "%windir%"},
      // Binary data: one byte per character, given as text or as bytes.
      {REG_BINARY, vu::common::TextOfBytes(Bytes({107, 2, 0, 0})), Bytes({0x6B, 0x02, 0, 0})},
      {REG_BINARY, Bytes({0xE8, 0, 0, 0}), Bytes({0xE8, 0, 0, 0})},
      {REG_BINARY, std::string("\u00e8\0\0\0", 5), Bytes({0xE8, 0, 0, 0})},
      {REG_BINARY, "\u20ac", Bytes({0x80})},
      {REG_BINARY, "", ""},
      {REG_BINARY, vu::common::TextOfBytes(every), every},
  };
  for (const auto& c : cases)
    ExpectRaw(Write(c.type, c.data), c.type, c.stored);
}

TEST_F(RegistryWriteTest, WhatIsWrittenReadsBackThroughTheLayer) {
  const struct {
    std::uint32_t type;
    std::string written, read;
  } cases[] = {
      {REG_DWORD, "53600", "53600"},
      {REG_SZ, "abc", "abc"},
      {REG_SZ, "", ""},
      {REG_SZ, "C:\\Program Files\\Velloria\\Optimizer.exe",
       "C:\\Program Files\\Velloria\\Optimizer.exe"},
      {REG_SZ, "Caf\u00e9\u2122", "Caf\u00e9\u2122"},
      {REG_BINARY, vu::common::TextOfBytes(Bytes({107, 2, 0, 0})), "6B020000"},
  };
  for (const auto& c : cases) {
    vu::common::SetRegistryValue(registry(), HKEY_CURRENT_USER, key(), "v", c.type, c.written);
    EXPECT_EQ(vu::common::GetRegistryString(registry(), HKEY_CURRENT_USER, key(), "v"), c.read);
  }
}

TEST_F(RegistryWriteTest, InstallerStoresEveryOtherTypeAsString) {
  ExpectRaw(WriteAsInstaller(REG_BINARY, "ab"), REG_SZ, "ab");
  ExpectRaw(WriteAsInstaller(REG_EXPAND_SZ, "%x%"), REG_SZ, "%x%");
  ExpectRaw(WriteAsInstaller(REG_SZ, "C:\\Velloria"), REG_SZ, std::string("C:\\Velloria\0", 12));
  ExpectRaw(WriteAsInstaller(REG_DWORD, "7"), REG_DWORD, Bytes({7, 0, 0, 0}));
}

TEST_F(RegistryWriteTest, WriteCreatesEveryMissingKeyAndReplacesTheValue) {
  const std::string deep = Key("One\\Two\\Three");
  vu::common::SetRegistryValue(registry(), HKEY_CURRENT_USER, deep, "x", REG_SZ, "text");
  ExpectRaw(GetValue(registry(), HKEY_CURRENT_USER, deep, "x"), REG_SZ, std::string("text\0", 5));
  vu::common::SetRegistryValue(registry(), HKEY_CURRENT_USER, deep, "x", REG_DWORD, "9");
  ExpectRaw(GetValue(registry(), HKEY_CURRENT_USER, deep, "x"), REG_DWORD, Bytes({9, 0, 0, 0}));
}

TEST_F(RegistryWriteTest, CheckedWritesReportTheStatus) {
  EXPECT_EQ(
      vu::common::SetRegistryValueChecked(registry(), HKEY_CURRENT_USER, key(), "x", REG_SZ, "1"),
      static_cast<Status>(ERROR_SUCCESS));
  EXPECT_NE(vu::common::SetRegistryValueChecked(registry(), 0x12345678u, key(), "x", REG_SZ, "1"),
            static_cast<Status>(ERROR_SUCCESS));
  EXPECT_EQ(vu::common::SetRegistryValueInstallerChecked(registry(), HKEY_CURRENT_USER, key(), "y",
                                                         REG_SZ, "1"),
            static_cast<Status>(ERROR_SUCCESS));
  EXPECT_NE(vu::common::SetRegistryValueInstallerChecked(registry(), 0x12345678u, key(), "y",
                                                         REG_SZ, "1"),
            static_cast<Status>(ERROR_SUCCESS));
}

TEST_F(RegistryWriteTest, DeleteValueRemovesOnlyThatValue) {
  ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, key(), "gone", REG_SZ, "a"), ERROR_SUCCESS);
  ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, key(), "kept", REG_SZ, "b"), ERROR_SUCCESS);
  vu::common::DeleteRegistryValue(registry(), HKEY_CURRENT_USER, key(), "GONE");
  EXPECT_EQ(GetValue(registry(), HKEY_CURRENT_USER, key(), "gone").status,
            static_cast<Status>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetValue(registry(), HKEY_CURRENT_USER, key(), "kept").data, "b");

  EXPECT_EQ(vu::common::DeleteRegistryValueChecked(registry(), HKEY_CURRENT_USER, key(), "gone"),
            static_cast<Status>(ERROR_FILE_NOT_FOUND));
  EXPECT_NE(
      vu::common::DeleteRegistryValueChecked(registry(), HKEY_CURRENT_USER, Key("None"), "kept"),
      static_cast<Status>(ERROR_SUCCESS));
}

TEST_F(RegistryWriteTest, DeleteKeyAcceptsATrailingBackslash) {
  // The uninstall-entry cleaner keeps its key paths with a trailing backslash.
  ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, Key("Entry\\Sub"), "x", REG_SZ, "1"),
            ERROR_SUCCESS);
  vu::common::DeleteRegistryKey(registry(), HKEY_CURRENT_USER, Key("Entry\\"));
  EXPECT_FALSE(KeyExists(registry(), HKEY_CURRENT_USER, Key("Entry")));
  EXPECT_TRUE(KeyExists(registry(), HKEY_CURRENT_USER, key()));
}

}  // namespace
}  // namespace vu::contract
