// The run-time conversions behind SetRegistryValue: text to a 32-bit integer, numbers to text,
// characters to ANSI bytes and back.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "common/registry_data.h"

namespace vu::contract {
namespace {

using vu::common::TextToLong;

TEST(TextToLong, AcceptsNumbersWithBlanksSignsAndSeparators) {
  EXPECT_EQ(TextToLong("53600"), 53600);
  EXPECT_EQ(TextToLong(" 7"), 7);
  EXPECT_EQ(TextToLong("7 \t"), 7);
  EXPECT_EQ(TextToLong("+12"), 12);
  EXPECT_EQ(TextToLong("-1"), -1);
  EXPECT_EQ(TextToLong("0"), 0);
  EXPECT_EQ(TextToLong("007"), 7);
  EXPECT_EQ(TextToLong("1,000"), 1000);
  EXPECT_EQ(TextToLong("1E3"), 1000);
  EXPECT_EQ(TextToLong("2.5e1"), 25);
  EXPECT_EQ(TextToLong(".75"), 1);
  EXPECT_EQ(TextToLong("2147483647"), 2147483647);
  EXPECT_EQ(TextToLong("-2147483648"), INT32_MIN);
}

TEST(TextToLong, RoundsHalvesToEven) {
  EXPECT_EQ(TextToLong("1.6"), 2);
  EXPECT_EQ(TextToLong("1.4"), 1);
  EXPECT_EQ(TextToLong("1.5"), 2);
  EXPECT_EQ(TextToLong("2.5"), 2);
  EXPECT_EQ(TextToLong("3.5"), 4);
  EXPECT_EQ(TextToLong("-2.5"), -2);
  EXPECT_EQ(TextToLong("-2.6"), -3);
  EXPECT_EQ(TextToLong("0.5"), 0);
}

TEST(TextToLong, RejectsWhatIsNotANumberOrDoesNotFit) {
  for (const char* text :
       {"", " ", "abc", "12abc", "1 2", "&HFF", "-", ".", "1e", ",5", "1.2.3", "4294967295",
        "2147483648", "-2147483649", "2147483647.5", "1e10", "1e999"}) {
    EXPECT_EQ(TextToLong(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(DataConversions, NumbersBecomeTextAndFitOrFail) {
  using vu::common::DataToLong;
  using vu::common::DataToText;
  using vu::common::RegistryData;
  EXPECT_EQ(DataToText(RegistryData{std::int64_t{536}}), "536");
  EXPECT_EQ(DataToText(RegistryData{std::int64_t{-5}}), "-5");
  EXPECT_EQ(DataToText(RegistryData{"text"}), "text");
  EXPECT_EQ(DataToLong(RegistryData{std::int64_t{53600}}), 53600);
  EXPECT_EQ(DataToLong(RegistryData{std::int64_t{-2147483648LL}}), INT32_MIN);
  EXPECT_EQ(DataToLong(RegistryData{std::int64_t{4294967295LL}}), std::nullopt);
  EXPECT_EQ(DataToLong(RegistryData{" 9 "}), 9);
}

TEST(AnsiCharacters, EveryByteRoundTripsThroughItsCharacter) {
  std::string every;
  for (int b = 0; b < 256; ++b)
    every += static_cast<char>(b);
  const std::string text = vu::common::TextOfBytes(every);
  EXPECT_EQ(vu::common::AnsiLength(text), 256u);
  EXPECT_EQ(vu::common::BytesOfText(text), every);
  EXPECT_EQ(vu::common::TextOfBytes("\x80\xE8"), "\u20ac\u00e8");
}

TEST(AnsiCharacters, TextBecomesOneBytePerCharacter) {
  EXPECT_EQ(vu::common::BytesOfText("Caf\u00e9\u2122"), "Caf\xE9\x99");
  // No ANSI code: a question mark, still one byte.
  EXPECT_EQ(vu::common::BytesOfText("a\u4e2db"), "a?b");
  // Not UTF-8: already bytes.
  EXPECT_EQ(vu::common::BytesOfText(std::string("\xE8\0\0\0", 4)), std::string("\xE8\0\0\0", 4));
  EXPECT_EQ(vu::common::AnsiLength("Caf\u00e9\u2122"), 5u);
  EXPECT_EQ(vu::common::AnsiLength("\xE8\xE8"), 2u);
  EXPECT_EQ(vu::common::AnsiLength(""), 0u);
}

}  // namespace
}  // namespace vu::contract
