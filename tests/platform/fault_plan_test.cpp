#include "platform/fault_plan.h"

#include <gtest/gtest.h>

#include <string>

namespace vu::platform {
namespace {

TEST(FaultPlan, EveryOperationNameReadsBackToItsOperation) {
  for (std::size_t i = 0; i < kOpCount; ++i) {
    const Op op = static_cast<Op>(i);
    const std::string name(OpName(op));
    ASSERT_FALSE(name.empty()) << i;
    EXPECT_EQ(ParseOp(name), op) << name;
    std::string lower = name;
    for (char& c : lower)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(ParseOp(lower), op) << lower;
  }
  EXPECT_EQ(ParseOp("DeleteFile"), std::nullopt);
  EXPECT_EQ(ParseOp(""), std::nullopt);
}

TEST(FaultPlan, StatusesAreNamesOrNumbers) {
  EXPECT_EQ(ParseStatus("ERROR_ACCESS_DENIED"), Status{ERROR_ACCESS_DENIED});
  EXPECT_EQ(ParseStatus("error_sharing_violation"), Status{ERROR_SHARING_VIOLATION});
  EXPECT_EQ(ParseStatus("1013"), Status{ERROR_CANTWRITE});
  EXPECT_EQ(ParseStatus("0x70"), Status{ERROR_DISK_FULL});
  EXPECT_EQ(ParseStatus("5x"), std::nullopt);
  EXPECT_EQ(ParseStatus("ERROR_NOPE"), std::nullopt);
  EXPECT_EQ(ParseStatus(""), std::nullopt);
}

TEST(FaultPlan, TheNthCallCountsFromWhenTheRuleIsMadeAndFailsOnce) {
  FaultPlan plan;
  EXPECT_FALSE(plan.Check(Op::Remove, "C:\\a"));
  EXPECT_FALSE(plan.Check(Op::Remove, "C:\\b"));
  plan.FailNth(Op::Remove, 2, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(plan.Check(Op::Copy, "C:\\a", "C:\\b"));  // another operation does not count
  EXPECT_FALSE(plan.Check(Op::Remove, "C:\\c"));
  EXPECT_EQ(plan.Check(Op::Remove, "C:\\d"), Status{ERROR_ACCESS_DENIED});
  EXPECT_FALSE(plan.Check(Op::Remove, "C:\\e"));
  EXPECT_TRUE(plan.empty());
}

TEST(FaultPlan, TheTextFormAddsBothKindsOfRule) {
  FaultPlan plan;
  std::string error;
  ASSERT_TRUE(
      plan.Add("Attributes:=C:\\WINDOWS\\DESKTOP\\Old Paint.lnk:ERROR_ACCESS_DENIED", error))
      << error;
  ASSERT_TRUE(plan.Add("regopenkey:1:0x3F3", error)) << error;
  ASSERT_TRUE(plan.Add("RegOpenKey:=\\Software\\X\\:2", error)) << error;
  EXPECT_EQ(plan.Check(Op::Attributes, "c:/windows/desktop/OLD PAINT.LNK"),
            Status{ERROR_ACCESS_DENIED});
  EXPECT_EQ(plan.Check(Op::Attributes, "C:\\WINDOWS\\DESKTOP\\Old Paint.lnk2"), std::nullopt);
  EXPECT_EQ(plan.Check(Op::RegOpenKey, "Software\\Y"), Status{ERROR_CANTOPEN});
  EXPECT_EQ(plan.Check(Op::RegOpenKey, "software\\x"), Status{ERROR_FILE_NOT_FOUND});
  EXPECT_EQ(plan.Check(Op::RegOpenKey, "Software\\Y"), std::nullopt);
}

TEST(FaultPlan, AMalformedTextIsRefusedWithItsReasonAndAddsNothing) {
  for (const char* text :
       {"", "Remove", "Remove:1", "Remove::5", "Remove:=:5", "Remove:0:5", "Remove:-1:5",
        "Remove:x:5", "Remove:1:0", "Remove:1:ERROR_NOPE", "Erase:1:5", ":1:5"}) {
    FaultPlan plan;
    std::string error;
    EXPECT_FALSE(plan.Add(text, error)) << text;
    EXPECT_NE(error.find(std::string("\"") + text + "\""), std::string::npos) << error;
    EXPECT_TRUE(plan.empty()) << text;
  }
}

TEST(FaultPlan, ValueNamesAreComparedAsTheyAreButWithoutCase) {
  FaultPlan plan;
  plan.FailSubject(Op::RegSetValue, "a\\b", ERROR_ACCESS_DENIED);
  EXPECT_EQ(plan.Check(Op::RegSetValue, "A\\B"), Status{ERROR_ACCESS_DENIED});
  EXPECT_EQ(plan.Check(Op::RegSetValue, "a\\\\b"), std::nullopt);
  EXPECT_EQ(plan.Check(Op::RegQueryValue, "a\\b"), std::nullopt);
}

TEST(FaultPath, SeparatorsDotsAndDotDotsAreResolvedWithinTheDrive) {
  EXPECT_EQ(FaultPath("C:/X//y/./z/../w"), "C:\\X\\y\\w");
  EXPECT_EQ(FaultPath("C:\\..\\..\\A"), "C:\\A");
  EXPECT_EQ(FaultPath("C:\\"), "C:\\");
  EXPECT_EQ(FaultPath("C:\\X\\"), "C:\\X");
  EXPECT_EQ(FaultPath("C:\\X\\*.*"), "C:\\X\\*.*");
  EXPECT_EQ(FaultPath("\\\\server\\share\\f"), "\\\\server\\share\\f");
  EXPECT_EQ(FaultPath("//server/share/f"), "\\\\server\\share\\f");
}

}  // namespace
}  // namespace vu::platform
