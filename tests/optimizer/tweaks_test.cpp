// The six tunings on a fresh Windows 98-like sandbox machine: exactly what each changes, and
// that a refused change makes it report failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "common/registry_mod.h"
#include "engine_world.h"
#include "optimizer/engine/tweaks.h"

namespace vu::optimizer::testing {
namespace {

using vu::platform::Op;

constexpr const char* kNetTrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\";
constexpr const char* kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
constexpr const char* kCdfs = "System\\CurrentControlSet\\Control\\FileSystem\\CDFS";
constexpr const char* kSystemIni = "C:\\WINDOWS\\system.ini";
constexpr const char* kMsdos = "C:\\MSDOS.SYS";
constexpr std::uint32_t kProtected =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

class TweaksTest : public ::testing::Test {
 protected:
  vu::test_support::TestMachine& Machine() { return world.temp.machine(); }
  vu::platform::FileSystem& Files() { return Machine().files(); }
  vu::platform::Registry& Registry() { return Machine().registry(); }

  void SetFact(const std::string& name, const std::string& value) {
    world.temp.SetFacts({{name, value}});
  }

  // The value's type and raw bytes, or type 0 when it cannot be read.
  std::pair<std::uint32_t, std::string> Raw(vu::platform::RootKey root, const std::string& key,
                                            const std::string& name) {
    std::unique_ptr<vu::platform::RegistryKey> handle;
    std::uint32_t type = 0;
    std::string data;
    if (Registry().OpenKey(root, key, handle) != ERROR_SUCCESS || !handle ||
        handle->QueryValue(name, type, data) != ERROR_SUCCESS) {
      return {0, ""};
    }
    return {type, data};
  }

  std::string Profile(const std::string& file, const std::string& section, const std::string& key) {
    std::string value;
    if (Files().ReadProfileString(file, section, key, value) != ERROR_SUCCESS) return "(none)";
    return value;
  }

  void Binding(const std::string& number, const std::string& description) {
    ASSERT_EQ(common::SetRegistryValueChecked(Registry(), HKEY_LOCAL_MACHINE, kNetTrans + number,
                                              "DriverDesc", REG_SZ, description),
              ERROR_SUCCESS);
  }
  std::string MaxMtu(const std::string& number) {
    return common::GetRegistryString(Registry(), HKEY_LOCAL_MACHINE, kNetTrans + number, "MaxMTU");
  }

  EngineWorld world;
  Engine& engine = world.engine;
};

TEST_F(TweaksTest, VirtualCacheIsAQuarterOfMemoryAndKeepsTheSection) {
  std::string ini;
  ASSERT_EQ(Files().ReadAll(kSystemIni, ini), ERROR_SUCCESS);
  ASSERT_EQ(Files().WriteAll(kSystemIni, ini + "[vcache]\r\nChunkSize=512\r\nMaxFileCache=9\r\n"),
            ERROR_SUCCESS);
  const struct {
    const char* bytes;
    const char* expected;
  } cases[] = {{"67108864", "16384"},
               {"33554432", "8192"},
               {"66646016", "16271"},
               {"2147483648", "524288"},
               {"3221225472", "524288"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    SetFact("TotalPhys", c.bytes);
    EXPECT_TRUE(TuneVirtualCache(engine));
    EXPECT_EQ(Profile(kSystemIni, "vcache", "MinFileCache"), "1024");
    EXPECT_EQ(Profile(kSystemIni, "vcache", "MaxFileCache"), c.expected);
  }
  EXPECT_EQ(Profile(kSystemIni, "vcache", "ChunkSize"), "512");
  EXPECT_EQ(Profile(kSystemIni, "boot", "shell"), "Explorer.exe");
  EXPECT_EQ(engine.state.info.windowsDir, "C:\\WINDOWS");
}

TEST_F(TweaksTest, VirtualCacheFailsWhenItCannotWriteOrKnowTheMemory) {
  Machine().faults().FailNth(Op::WriteProfileString, 2, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(TuneVirtualCache(engine));
  EXPECT_EQ(Profile(kSystemIni, "vcache", "MinFileCache"), "1024");
  EXPECT_EQ(Profile(kSystemIni, "vcache", "MaxFileCache"), "(none)");

  // Without a memory figure the maximum would be 0: it is left alone.
  SetFact("TotalPhys", "");
  EXPECT_FALSE(TuneVirtualCache(engine));
  EXPECT_EQ(Profile(kSystemIni, "vcache", "MaxFileCache"), "(none)");
}

TEST_F(TweaksTest, BootMenuDelayOpensAndClosesMsdosSys) {
  EXPECT_TRUE(TuneBootMenuDelay(engine));
  EXPECT_EQ(Profile(kMsdos, "Options", "BootMenuDelay"), "1");
  EXPECT_EQ(Profile(kMsdos, "Options", "BootGUI"), "1");
  EXPECT_EQ(Profile(kMsdos, "Paths", "WinDir"), "C:\\WINDOWS");
  EXPECT_EQ(Files().Attributes(kMsdos), kProtected);
}

TEST_F(TweaksTest, BootMenuDelayMakesAMissingMsdosSys) {
  ASSERT_EQ(Files().SetAttributes(kMsdos, 0), ERROR_SUCCESS);
  ASSERT_EQ(Files().Remove(kMsdos), ERROR_SUCCESS);
  EXPECT_TRUE(TuneBootMenuDelay(engine));
  std::string text;
  ASSERT_EQ(Files().ReadAll(kMsdos, text), ERROR_SUCCESS);
  EXPECT_EQ(text, "[Options]\r\nBootMenuDelay=1\r\n");
  EXPECT_EQ(Files().Attributes(kMsdos), kProtected);
}

TEST_F(TweaksTest, BootMenuDelayFailsButReprotectsWhenTheWriteIsRefused) {
  Machine().faults().FailNth(Op::WriteProfileString, 1, ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(TuneBootMenuDelay(engine));
  EXPECT_EQ(Profile(kMsdos, "Options", "BootMenuDelay"), "(none)");
  EXPECT_EQ(Files().Attributes(kMsdos), kProtected);

  // Attributes that cannot be cleared leave the file read-only, and the write is refused.
  Machine().faults().FailNth(Op::SetAttributes, 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(TuneBootMenuDelay(engine));
  EXPECT_EQ(Profile(kMsdos, "Options", "BootMenuDelay"), "(none)");
}

TEST_F(TweaksTest, TcpIpTunesEveryTcpBindingUpToTheFirstGap) {
  Binding("0001", "NetBEUI");
  Binding("0002", "TCP/IP");
  Binding("0003", "tcp/ip");  // the comparison minds case
  Binding("0005", "TCP/IP");  // behind the gap at 0004
  EXPECT_TRUE(TuneTcpIp(engine));
  EXPECT_EQ(MaxMtu("0000"), "576");
  EXPECT_EQ(MaxMtu("0001"), "(Not found)");
  EXPECT_EQ(MaxMtu("0002"), "576");
  EXPECT_EQ(MaxMtu("0003"), "(Not found)");
  EXPECT_EQ(MaxMtu("0005"), "(Not found)");
  EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, kNetTrans + std::string("0002"), "MaxMTU"),
            std::make_pair(std::uint32_t{REG_SZ}, std::string("576\0", 4)));

  EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, kMstcp, "DefaultMSS"),
            std::make_pair(std::uint32_t{REG_SZ}, std::string("536\0", 4)));
  EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, kMstcp, "DefaultTTL"),
            std::make_pair(std::uint32_t{REG_SZ}, std::string("128\0", 4)));
  // 53600 = 0x0000D160, little-endian.
  EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, kMstcp, "DefaultRcvWindow"),
            std::make_pair(std::uint32_t{REG_DWORD}, std::string("\x60\xD1\x00\x00", 4)));
}

TEST_F(TweaksTest, TcpIpStopsAtAKeyWithoutDescriptionAndNeverReachesTheFifthDigit) {
  ASSERT_EQ(common::SetRegistryValueChecked(Registry(), HKEY_LOCAL_MACHINE,
                                            kNetTrans + std::string("0001"), "Other", REG_SZ, "x"),
            ERROR_SUCCESS);
  Binding("0002", "TCP/IP");
  Binding("0010", "TCP/IP");
  EXPECT_TRUE(TuneTcpIp(engine));
  EXPECT_EQ(MaxMtu("0000"), "576");
  EXPECT_EQ(MaxMtu("0002"), "(Not found)");
  EXPECT_EQ(MaxMtu("0010"), "(Not found)");
}

TEST_F(TweaksTest, TcpIpFailsWhenAValueIsRefusedButWritesTheRest) {
  Machine().faults().FailSubject(Op::RegSetValue, "MaxMTU", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(TuneTcpIp(engine));
  EXPECT_EQ(MaxMtu("0000"), "(Not found)");
  EXPECT_EQ(common::GetRegistryString(Registry(), HKEY_LOCAL_MACHINE, kMstcp, "DefaultRcvWindow"),
            "53600");
}

TEST_F(TweaksTest, CdRomCacheWritesRawBytes) {
  EXPECT_TRUE(TuneCdRomCache(engine));
  const std::uint32_t binary = REG_BINARY;
  EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, kCdfs, "CacheSize"),
            std::make_pair(binary, std::string("\x6B\x02\x00\x00", 4)));
  EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, kCdfs, "Prefetch"),
            std::make_pair(binary, std::string("\xE8\x00\x00\x00", 4)));
  EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, kCdfs, "PrefetchTail"),
            std::make_pair(binary, std::string("\x80\x00\x00\x00", 4)));

  Machine().faults().FailNth(Op::RegFlush, 3, ERROR_CANTWRITE);
  EXPECT_FALSE(TuneCdRomCache(engine));
}

TEST_F(TweaksTest, MenuDelayGoesToTheCurrentUser) {
  EXPECT_TRUE(TuneMenuDelay(engine));
  EXPECT_EQ(Raw(HKEY_CURRENT_USER, "Control Panel\\desktop", "MenuShowDelay"),
            std::make_pair(std::uint32_t{REG_SZ}, std::string("0\0", 2)));
  EXPECT_EQ(Raw(HKEY_USERS, ".DEFAULT\\Control Panel\\desktop", "MenuShowDelay").second,
            std::string("0\0", 2));

  Machine().faults().FailNth(Op::RegCreateKey, 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(TuneMenuDelay(engine));
}

// Windows 2000, Vista and 10: the NT family, which reads none of the four Windows 9x tunings.
class NtTweaksTest : public TweaksTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    SetFact("PlatformId", "2");
    SetFact("MajorVersion", GetParam());
  }
  std::string Bytes(const std::string& path) {
    std::string bytes;
    if (Files().ReadAll(path, bytes) != ERROR_SUCCESS) return "(none)";
    return bytes + "/" + std::to_string(Files().Attributes(path));
  }
};

TEST_P(NtTweaksTest, TheWindows9xTuningsChangeNothingAndTheMenuDelayGoesToTheUser) {
  const std::string ini = Bytes(kSystemIni);
  const std::string msdos = Bytes(kMsdos);
  Binding("0001", "TCP/IP");
  for (Step step : {Step::VirtualCache, Step::DosBoot, Step::Internet, Step::FileSystem})
    EXPECT_FALSE(StepNeeded(Machine().system(), step)) << Index(step);
  for (Step step : {Step::BrokenLinks, Step::Startup, Step::StartMenu, Step::OrphanedDlls})
    EXPECT_TRUE(StepNeeded(Machine().system(), step)) << Index(step);

  // Nothing to do is nothing failed.
  EXPECT_TRUE(TuneVirtualCache(engine));
  EXPECT_TRUE(TuneBootMenuDelay(engine));
  EXPECT_TRUE(TuneTcpIp(engine));
  EXPECT_TRUE(TuneCdRomCache(engine));
  EXPECT_EQ(Bytes(kSystemIni), ini);
  EXPECT_EQ(Bytes(kMsdos), msdos);
  EXPECT_EQ(MaxMtu("0000"), "(Not found)");
  EXPECT_EQ(MaxMtu("0001"), "(Not found)");
  EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, kMstcp, "DefaultMSS").first, 0u);
  EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, kCdfs, "CacheSize").first, 0u);

  EXPECT_TRUE(TuneMenuDelay(engine));
  EXPECT_EQ(Raw(HKEY_CURRENT_USER, "Control Panel\\Desktop", "MenuShowDelay"),
            std::make_pair(std::uint32_t{REG_SZ}, std::string("0\0", 2)));
}

TEST_P(NtTweaksTest, NoMsdosSysIsMadeOnAMachineWithout) {
  ASSERT_EQ(Files().SetAttributes(kMsdos, 0), ERROR_SUCCESS);
  ASSERT_EQ(Files().Remove(kMsdos), ERROR_SUCCESS);
  EXPECT_TRUE(TuneBootMenuDelay(engine));
  EXPECT_EQ(Files().Attributes(kMsdos), INVALID_FILE_ATTRIBUTES);
}

INSTANTIATE_TEST_SUITE_P(Versions, NtTweaksTest, ::testing::Values("5", "6", "10"));

TEST_F(TweaksTest, TheWindows9xFamilyNeedsEveryStep) {
  SetFact("PlatformId", "1");
  for (int i = 0; i < kStepCount; ++i)
    EXPECT_TRUE(StepNeeded(Machine().system(), static_cast<Step>(i))) << i;
  // A version that cannot be had counts as Windows 9x.
  SetFact("PlatformId", "");
  EXPECT_TRUE(StepNeeded(Machine().system(), Step::VirtualCache));
}

// Windows 9x in D:\WINDOWS, booted from C:.
class OtherDriveTest : public TweaksTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(world.temp.dir() / "drives" / "D" / "WINDOWS");
    SetFact("WindowsDir", "D:\\WINDOWS");
    SetFact("SystemDir", "D:\\WINDOWS\\SYSTEM");
  }
};

TEST_F(OtherDriveTest, BootMenuDelayEditsTheBootDrivesMsdosSys) {
  EXPECT_TRUE(TuneBootMenuDelay(engine));
  EXPECT_EQ(Profile(kMsdos, "Options", "BootMenuDelay"), "1");
  EXPECT_EQ(Profile(kMsdos, "Paths", "WinDir"), "C:\\WINDOWS");
  EXPECT_EQ(Files().Attributes(kMsdos), kProtected);
  EXPECT_EQ(Files().Attributes("D:\\MSDOS.SYS"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(OtherDriveTest, BootMenuDelayPrefersTheWindowsDrivesAndMakesOneThereWhenNoneIs) {
  ASSERT_EQ(Files().WriteAll("D:\\MSDOS.SYS", "[Paths]\r\nWinDir=D:\\WINDOWS\r\n"), ERROR_SUCCESS);
  const std::string before = Profile(kMsdos, "Options", "BootMenuDelay");
  EXPECT_TRUE(TuneBootMenuDelay(engine));
  EXPECT_EQ(Profile("D:\\MSDOS.SYS", "Options", "BootMenuDelay"), "1");
  EXPECT_EQ(Files().Attributes("D:\\MSDOS.SYS"), kProtected);
  EXPECT_EQ(Profile(kMsdos, "Options", "BootMenuDelay"), before);

  // With neither, the file is made where Windows lives.
  for (const char* file : {kMsdos, "D:\\MSDOS.SYS"}) {
    ASSERT_EQ(Files().SetAttributes(file, 0), ERROR_SUCCESS);
    ASSERT_EQ(Files().Remove(file), ERROR_SUCCESS);
  }
  EXPECT_TRUE(TuneBootMenuDelay(engine));
  EXPECT_EQ(Profile("D:\\MSDOS.SYS", "Options", "BootMenuDelay"), "1");
  EXPECT_EQ(Files().Attributes(kMsdos), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace vu::optimizer::testing
