// One more entry of a key a section has already: WININIT.INI's [rename] section lists one
// "NUL=" line per file to delete at the next start.
#include <gtest/gtest.h>

#include "platform/ini.h"

namespace vu::platform::ini {
namespace {

TEST(IniAddEntry, AddsBesideAnEntryOfTheSameKeyAndKeepsEverythingElse) {
  const std::string wininit = "[Rename]\r\nNUL=C:\\A.EXE\r\n\r\n[Other]\r\nx=1\r\n";
  EXPECT_EQ(AddEntry(wininit, "rename", "NUL", "C:\\B.EXE"),
            "[Rename]\r\nNUL=C:\\A.EXE\r\nNUL=C:\\B.EXE\r\n\r\n[Other]\r\nx=1\r\n");
  // SetEntry would have replaced the first instead.
  EXPECT_EQ(SetEntry(wininit, "rename", "NUL", "C:\\B.EXE"),
            "[Rename]\r\nNUL=C:\\B.EXE\r\n\r\n[Other]\r\nx=1\r\n");
  EXPECT_EQ(AddEntry("", "rename", "NUL", "C:\\A.EXE"), "[rename]\r\nNUL=C:\\A.EXE\r\n");
  EXPECT_EQ(AddEntry("[x]\ny=2", "rename", "NUL", "C:\\A.EXE"),
            "[x]\ny=2\n\n[rename]\nNUL=C:\\A.EXE");
}

}  // namespace
}  // namespace vu::platform::ini
