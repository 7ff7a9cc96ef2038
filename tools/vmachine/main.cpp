// vmachine: makes, inspects and edits sandbox machines (emulated Windows 98 machines kept in a
// host folder) for tests, demos and the programs' native builds.
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fault_plan.h"
#include "tools/vmachine/command_support.h"
#include "tools/vmachine/dir_command.h"
#include "tools/vmachine/machine_commands.h"
#include "tools/vmachine/reg_commands.h"
#include "tools/vmachine/running_command.h"
#include "tools/vmachine/setup_command.h"

namespace {

constexpr std::string_view kUsage =
    "usage: vmachine [--fault FAULT]... COMMAND ARGUMENTS\n"
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
    "  running DIR [WINPATH...|-]             set or show the running programs (files in use)\n"
    "  pending DIR                            files to be deleted at the next restart\n"
    "  setup DIR [WINFOLDER] [--from HOSTDIR] [--runtime]\n"
    "                                         lay an installation set (default C:\\SETUP)\n"
    "  --fault OP:N:STATUS | OP:=SUBJECT:STATUS  fail call N of OP, or every call of OP on\n"
    "                                         SUBJECT, with STATUS (a number or ERROR_...)\n";

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&,
                        vu::platform::FaultPlan&);

struct Entry {
  std::string_view name;
  Command run;
};

constexpr Entry kCommands[] = {
    {"init", vu::tools::RunInit},       {"reg", vu::tools::RunRegCommand},
    {"attrib", vu::tools::RunAttrib},   {"path", vu::tools::RunPath},
    {"set", vu::tools::RunSet},         {"lnk", vu::tools::RunLnk},
    {"setup", vu::tools::RunSetup},     {"dir", vu::tools::RunDir},
    {"running", vu::tools::RunRunning}, {"pending", vu::tools::RunPending},
};

// The words without the --fault options, which go into |faults|. False, with the problem on
// standard error, for a malformed one.
bool TakeFaults(const std::vector<std::string>& all, std::vector<std::string>& words,
                vu::platform::FaultPlan& faults) {
  for (std::size_t i = 0; i < all.size(); ++i) {
    std::string fault;
    if (all[i] == "--fault" && i + 1 < all.size()) {
      fault = all[++i];
    } else if (all[i].rfind("--fault=", 0) == 0) {
      fault = all[i].substr(8);
    } else if (all[i] == "--fault") {
      std::cerr << "vmachine: --fault needs a value\n";
      return false;
    } else {
      words.push_back(all[i]);
      continue;
    }
    std::string error;
    if (!faults.Add(fault, error)) {
      std::cerr << "vmachine: " << error << "\n";
      return false;
    }
  }
  return true;
}

int Run(const std::vector<std::string>& all) {
  std::vector<std::string> words;
  vu::platform::FaultPlan faults;
  if (!TakeFaults(all, words, faults)) return vu::tools::kExitBadInput;
  if (words.empty()) {
    std::cerr << kUsage;
    return vu::tools::kExitBadInput;
  }
  for (const std::string& word : words) {
    if (word == "help" || word == "--help" || word == "-h") {
      std::cout << kUsage;
      return vu::tools::kExitDone;
    }
  }
  for (const Entry& command : kCommands) {
    if (command.name == words[0]) {
      const std::vector<std::string> args(words.begin() + 1, words.end());
      return command.run(args, std::cout, std::cerr, faults);
    }
  }
  std::cerr << "vmachine: unknown command " << words[0] << " (vmachine help lists them)\n";
  return vu::tools::kExitBadInput;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    // The commands report their own failures; this is the last guard against a host surprise.
    std::cerr << "vmachine: " << e.what() << "\n";
    return vu::tools::kExitBadInput;
  }
}
