// What a new machine holds for the programs to find: the shell's folders where Windows 98 keeps
// them, the default user's keys, and the listing vmachine prints of them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/sandbox/machine.h"
#include "platform/sandbox/shell.h"
#include "tests/support/fresh_machine.h"

namespace vu::platform::sandbox {
namespace {

class MachineInitTest : public vu::test_support::FreshMachineTest {
 protected:
  std::string Folder(int csidl) {
    std::string path;
    const Status status = machine_->shell().SpecialFolderPath(csidl, path);
    return status == ERROR_SUCCESS ? path : "<status " + std::to_string(status) + ">";
  }
};

TEST_F(MachineInitTest, EveryShellFolderIsThereAtItsWindows98Place) {
  EXPECT_EQ(Folder(0x07), "C:\\WINDOWS\\START MENU\\PROGRAMS\\STARTUP");
  EXPECT_EQ(Folder(0x06), "C:\\WINDOWS\\FAVORITES");
  EXPECT_EQ(Folder(0x09), "C:\\WINDOWS\\SENDTO");
  EXPECT_EQ(Folder(0x15), "C:\\WINDOWS\\SHELLNEW");
  EXPECT_EQ(Folder(0x1a), "C:\\WINDOWS\\APPLICATION DATA");
  EXPECT_EQ(Folder(0x24), "C:\\WINDOWS");
  EXPECT_EQ(Folder(0x25), "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(Folder(0x26), "C:\\PROGRAM FILES");
  EXPECT_EQ(Folder(0x2b), "C:\\PROGRAM FILES\\COMMON FILES");
  EXPECT_EQ(Folder(CSIDL_PERSONAL), "C:\\MY DOCUMENTS");
  // Every one the sandbox knows exists without being asked to make it.
  for (const int csidl : SpecialFolderIds()) {
    const std::string path = Folder(csidl);
    EXPECT_EQ(path.rfind("C:\\", 0), 0u) << csidl << " " << path;
    EXPECT_NE(machine_->files().Attributes(path) & FILE_ATTRIBUTE_DIRECTORY, 0u) << path;
  }
  // The all-users folders are NT's: Windows 98 has none.
  EXPECT_EQ(Folder(CSIDL_COMMON_PROGRAMS), "<status 2>");
  EXPECT_NE(machine_->files().Attributes(
                "C:\\WINDOWS\\APPLICATION DATA\\MICROSOFT\\INTERNET EXPLORER\\QUICK LAUNCH"),
            INVALID_FILE_ATTRIBUTES);
  // The folders follow the Windows folder the machine reports.
  EXPECT_EQ(SpecialFolderLocation(0x08, "D:\\WIN98\\", "D:\\WIN98\\SYSTEM"), "D:\\WIN98\\RECENT");
  EXPECT_EQ(SpecialFolderLocation(0x26, "D:\\WIN98", "D:\\WIN98\\SYSTEM"), "D:\\PROGRAM FILES");
}

TEST_F(MachineInitTest, TheDefaultUserHasItsKeys) {
  std::unique_ptr<RegistryKey> key;
  EXPECT_EQ(machine_->registry().OpenKey(HKEY_USERS, ".DEFAULT\\Control Panel\\desktop", key),
            ERROR_SUCCESS);
  EXPECT_EQ(machine_->registry().OpenKey(HKEY_CURRENT_USER, "Software", key), ERROR_SUCCESS);
}

TEST_F(MachineInitTest, VmachineDirListsShortAndLongNames) {
  ASSERT_EQ(machine_->files().WriteAll("C:\\PROGRAM FILES\\Read Me First.txt", "hello"),
            ERROR_SUCCESS);
  const std::string command =
      std::string(VU_TEST_BIN_DIR) + "/vmachine dir '" + MachineDir() + "' 'c:\\progra~1' 2>&1";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char chunk[512];
    while (std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe))
      output.append(chunk, got);
    EXPECT_EQ(pclose(pipe), 0) << output;
  }
  EXPECT_EQ(output,
            ".            <DIR>          .\n"
            "..           <DIR>          ..\n"
            "COMMON~1     <DIR>          COMMON FILES\n"
            "README~1.TXT              5 Read Me First.txt\n");
}

}  // namespace
}  // namespace vu::platform::sandbox
