// compInfoMod on a sandbox machine: the values and texts of its tables, and what survives a
// system call that fails.
#include <gtest/gtest.h>

#include <string>

#include "engine_world.h"
#include "optimizer/engine/comp_info.h"

namespace vu::optimizer::testing {
namespace {

class CompInfoTest : public ::testing::Test {
 protected:
  void SetFact(const std::string& name, const std::string& value) {
    world.temp.SetFacts({{name, value}});
  }
  vu::platform::System& System() { return world.temp.machine().system(); }

  EngineWorld world;
  Engine& engine = world.engine;
  SystemInfo& info = world.state.info;
};

TEST_F(CompInfoTest, DescribesAWindows98Machine) {
  CollectSystemInfo(engine);
  EXPECT_EQ(info.windowsDir, "C:\\WINDOWS");
  EXPECT_EQ(info.systemDir, "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(info.osName, "Windows 95");
  // Windows 9x keeps 4.10 in the build number's high word; the whole field is shown.
  EXPECT_EQ(info.osVersion, "4.10 (Build 67766222)");
  EXPECT_EQ(info.processorName, "Intel Pentium");
  EXPECT_EQ(info.memoryStatus.totalPhys, 67108864u);
  EXPECT_EQ(info.memTotalPhys, "65,536K");
  EXPECT_EQ(info.memAvailPhys, "24,576K");
  EXPECT_EQ(info.memTotalVirtual, "2,097,024K");
  EXPECT_EQ(info.userName, "User");
  EXPECT_EQ(info.volumeSerial, 0x2A1F3C4Du);
  EXPECT_EQ(info.bootMode, "Normal startup");
  EXPECT_EQ(info.screenSize, "800x600");
}

TEST_F(CompInfoTest, FailingCallsLeaveTheirFallbacks) {
  SetFact("UserName", "");
  SetFact("VolumeSerial.C", "");
  SetFact("TotalPhys", "");
  CollectSystemInfo(engine);
  EXPECT_EQ(info.userName, "(Unknown)");
  EXPECT_EQ(info.volumeSerial, 0u);
  EXPECT_EQ(info.memoryStatus.totalPhys, 0u);
  EXPECT_EQ(info.memTotalPhys, "");

  // Without a version the folders are still read and everything else keeps its value.
  SetFact("PlatformId", "");
  SetFact("WindowsDir", "D:\\WIN98");
  SetFact("UserName", "Ann");
  CollectSystemInfo(engine);
  EXPECT_EQ(info.windowsDir, "D:\\WIN98");
  EXPECT_EQ(info.osName, "Windows 95");
  EXPECT_EQ(info.userName, "(Unknown)");
}

TEST_F(CompInfoTest, BootModes) {
  const struct {
    const char* metric;
    const char* text;
  } cases[] = {{"0", "Normal startup"},
               {"1", "Safe Mode"},
               {"2", "Safe Mode with Network support"},
               {"3", "Normal startup"}};
  for (const auto& c : cases) {
    SetFact("CleanBoot", c.metric);
    EXPECT_EQ(GetBootMode(System()), c.text) << c.metric;
  }
}

TEST(CompInfoTables, NamesOfPlatformsAndProcessors) {
  EXPECT_EQ(OsName(0), "Windows 32s");
  EXPECT_EQ(OsName(1), "Windows 95");
  EXPECT_EQ(OsName(2), "Windows NT");
  EXPECT_EQ(OsName(3), "Unknown Operating System");
  EXPECT_EQ(ProcessorName(386), "Intel 386");
  EXPECT_EQ(ProcessorName(486), "Intel 486");
  EXPECT_EQ(ProcessorName(586), "Intel Pentium");
  EXPECT_EQ(ProcessorName(4000), "MIPS R4000");
  EXPECT_EQ(ProcessorName(21064), "DEC Alpha 21064");
  EXPECT_EQ(ProcessorName(8664), "Unknown Processor Type");
}

TEST(CompInfoTables, KilobyteTexts) {
  EXPECT_EQ(FormatKilobytes(0), "K");
  EXPECT_EQ(FormatKilobytes(1023), "K");
  EXPECT_EQ(FormatKilobytes(1024), "1K");
  EXPECT_EQ(FormatKilobytes(999 * 1024 + 1023), "999K");
  EXPECT_EQ(FormatKilobytes(1000 * 1024), "1,000K");
  // Past 2 GB the figure stays positive.
  EXPECT_EQ(FormatKilobytes(3221225472u), "3,145,728K");
  EXPECT_EQ(FormatKilobytes(std::uint64_t{1} << 47), "137,438,953,472K");
}

TEST(CompInfoScreen, PixelsAtAnyResolution) {
  for (int dpi : {96, 120}) {
    const ScreenFigures screen{1024, 768, 1440 / dpi, 1440 / dpi};
    EXPECT_EQ(GetScreenSize(screen), "1024x768") << dpi;
  }
}

}  // namespace
}  // namespace vu::optimizer::testing
