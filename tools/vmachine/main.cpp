// vmachine: makes, inspects and edits sandbox machines (emulated Windows 98 machines kept in a
// host folder) for tests, demos and the programs' native builds.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/vmachine/command_support.h"
#include "tools/vmachine/dir_command.h"
#include "tools/vmachine/machine_commands.h"
#include "tools/vmachine/reg_commands.h"
#include "tools/vmachine/setup_command.h"

namespace {

constexpr std::string_view kUsage =
    "usage: vmachine COMMAND ARGUMENTS\n"
    "  init DIR                               make a Windows 98-like machine in DIR\n"
    "  reg import DIR FILE                    apply a REGEDIT4 file (all of it or nothing)\n"
    "  reg export DIR [KEY]                   write the registry as REGEDIT4 text\n"
    "  reg get DIR KEY NAME                   print a value as the programs read it\n"
    "  attrib DIR WINPATH [+R|-R] [+H|-H] [+S|-S] [+A|-A]\n"
    "                                         show or set DOS attributes\n"
    "  path DIR WINPATH                       print the host path of a Windows path\n"
    "  dir DIR WINPATH                        list a folder: short names, sizes, long names\n"
    "  set DIR KEY=VALUE...                   change machine facts ([System] of machine.ini)\n"
    "  lnk DIR LINKPATH [TARGET]              write a shortcut, or print its target\n"
    "  setup DIR [WINFOLDER] [--from HOSTDIR] [--runtime]\n"
    "                                         lay an installation set (default C:\\SETUP)\n";

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct Entry {
  std::string_view name;
  Command run;
};

constexpr Entry kCommands[] = {
    {"init", vu::tools::RunInit},     {"reg", vu::tools::RunRegCommand},
    {"attrib", vu::tools::RunAttrib}, {"path", vu::tools::RunPath},
    {"set", vu::tools::RunSet},       {"lnk", vu::tools::RunLnk},
    {"setup", vu::tools::RunSetup},   {"dir", vu::tools::RunDir},
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty()) {
    std::cerr << kUsage;
    return vu::tools::kExitBadInput;
  }
  if (words[0] == "help" || words[0] == "--help" || words[0] == "-h") {
    std::cout << kUsage;
    return vu::tools::kExitDone;
  }
  for (const Entry& command : kCommands) {
    if (command.name == words[0]) {
      const std::vector<std::string> args(words.begin() + 1, words.end());
      return command.run(args, std::cout, std::cerr);
    }
  }
  std::cerr << "vmachine: unknown command " << words[0] << " (vmachine help lists them)\n";
  return vu::tools::kExitBadInput;
}
