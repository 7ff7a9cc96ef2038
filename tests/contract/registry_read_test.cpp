// GetRegistryString over both back ends: how each type reads as text, the not-found text and the
// 2048-byte buffer.
#include <cctype>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/registry_mod.h"
#include "tests/contract/env.h"
#include "tests/contract/seam_helpers.h"

namespace vu::contract {
namespace {

using vu::common::GetRegistryString;

struct ReadCase {
  std::uint32_t type;
  std::string data;
  std::string text;
};

class RegistryReadTest : public ContractTest {
 protected:
  // Stores each case's data raw under a fresh name and reads it back through the layer.
  void ExpectReads(const std::vector<ReadCase>& cases) {
    for (const ReadCase& c : cases) {
      const std::string name = "v" + std::to_string(next_++);
      ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, key(), name, c.type, c.data),
                ERROR_SUCCESS);
      EXPECT_EQ(GetRegistryString(registry(), HKEY_CURRENT_USER, key(), name), c.text)
          << name << " of type " << c.type;
    }
  }

 private:
  int next_ = 0;
};

TEST_F(RegistryReadTest, EachTypeReadsAsItsText) {
  ExpectReads({
      // A DWORD is an unsigned decimal of at least three digits; missing bytes count as zero.
      {REG_DWORD, Bytes({5, 0, 0, 0}), "005"},
      {REG_DWORD, Bytes({0, 0, 0, 0}), "000"},
      {REG_DWORD, Bytes({42, 0, 0, 0}), "042"},
      {REG_DWORD, Bytes({100, 0, 0, 0}), "100"},
      {REG_DWORD, Bytes({0x60, 0xD1, 0, 0}), "53600"},
      {REG_DWORD, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), "4294967295"},
      {REG_DWORD, Bytes({0x2A, 0, 0, 0x80}), "2147483690"},
      {REG_DWORD, Bytes({0x05, 0x01}), "261"},
      {REG_DWORD, "", "000"},
      // Binary data reads as upper-case hex pairs.
      {REG_BINARY, Bytes({0x0A, 0xFF}), "0AFF"},
      {REG_BINARY, Bytes({0x00, 0x01, 0xAB, 0x00}), "0001AB00"},
      {REG_BINARY, "", ""},
      // Any other type reads as the characters of its bytes less the last.
      {REG_NONE, "xyz", "xy"},
      {11 /* REG_QWORD */, Bytes({0x41, 0xE9, 0, 0, 0, 0, 0, 0x42}),
       std::string("A\u00e9\0\0\0\0\0", 8)},
  });
}

TEST_F(RegistryReadTest, TextReadsWithoutItsLastCharacter) {
  ExpectReads({
      {REG_SZ, std::string("abc\0", 4), "abc"},
      {REG_SZ, std::string(1, '\0'), ""},
      {REG_SZ, "", ""},
      {REG_EXPAND_SZ, std::string("%windir%\\x\0", 11), "%windir%\\x"},
      {REG_MULTI_SZ, std::string("a\0b\0\0", 5), std::string("a\0b\0", 4)},
      // A text stored without its terminator loses a real character, as the ANSI call reads it.
      {REG_SZ, "abc", "ab"},
  });
}

TEST_F(RegistryReadTest, NonAsciiTextSurvivesWhole) {
  ExpectReads({
      {REG_SZ, std::string("Velloria\u2122 Caf\u00e9\0", 18), "Velloria\u2122 Caf\u00e9"},
      // The last character is dropped whole, never a part of its encoding.
      {REG_SZ, "ab\u2122", "ab"},
      {REG_BINARY, "ab\u2122", "6162E284A2"},
  });
}

TEST_F(RegistryReadTest, DataLongerThan2048BytesReadsAsNotFound) {
  // 2047 trade-mark signs take 6141 bytes of UTF-8 but 2047 in the ANSI code page.
  std::string marks, hex;
  for (int i = 0; i < 2047; ++i)
    marks += "\u2122";
  for (int i = 0; i < 2048; ++i)
    hex += "5A";
  ExpectReads({
      {REG_SZ, std::string(2047, 'x') + '\0', std::string(2047, 'x')},
      {REG_SZ, std::string(2048, 'x') + '\0', "(Not found)"},
      {REG_SZ, marks + '\0', marks},
      {REG_SZ, marks + "\u2122" + '\0', "(Not found)"},
      {REG_BINARY, std::string(2048, '\x5A'), hex},
      {REG_BINARY, std::string(2049, '\x5A'), "(Not found)"},
      {REG_DWORD, std::string(2049, '\x01'), "(Not found)"},
  });
}

TEST_F(RegistryReadTest, ValuesAreFoundWhateverTheCaseWithTheDefaultOneUnderTheEmptyName) {
  ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, Key("Control Panel\\Desktop"), "MenuShowDelay",
                     REG_SZ, std::string("400\0", 4)),
            ERROR_SUCCESS);
  std::string upper = Key("CONTROL PANEL\\DESKTOP");
  for (char& c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(GetRegistryString(registry(), HKEY_CURRENT_USER, upper, "menushowdelay"), "400");
  ASSERT_EQ(PutValue(registry(), HKEY_CURRENT_USER, key(), "", REG_SZ, std::string("dflt\0", 5)),
            ERROR_SUCCESS);
  EXPECT_EQ(GetRegistryString(registry(), HKEY_CURRENT_USER, key(), ""), "dflt");

  EXPECT_EQ(GetRegistryString(registry(), HKEY_CURRENT_USER, Key("No\\Such\\Key"), "x"),
            "(Not found)");
  EXPECT_EQ(GetRegistryString(registry(), HKEY_CURRENT_USER, key(), "absent"), "(Not found)");
  EXPECT_EQ(GetRegistryString(registry(), 0x12345678u, key(), ""), "(Not found)");
}

TEST_F(RegistryReadTest, LeadingBackslashIsTolerated) {
  // The start-menu tweak addresses "\Control Panel\desktop" with its leading backslash.
  const std::string path = Key("Control Panel\\desktop");
  vu::common::SetRegistryValue(registry(), HKEY_CURRENT_USER, "\\" + path, "MenuShowDelay", REG_SZ,
                               "0");
  EXPECT_EQ(GetValue(registry(), HKEY_CURRENT_USER, path, "MenuShowDelay").data,
            std::string("0\0", 2));
  EXPECT_EQ(GetRegistryString(registry(), HKEY_CURRENT_USER, "\\" + path, "MenuShowDelay"), "0");
}

}  // namespace
}  // namespace vu::contract
