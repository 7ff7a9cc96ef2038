#include "tools/vmachine/running_command.h"

#include "platform/sandbox/paths.h"
#include "platform/sandbox/running_programs.h"
#include "tools/vmachine/command_support.h"

namespace vu::tools {

using namespace vu::platform::sandbox;

int RunRunning(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               vu::platform::FaultPlan&) {
  if (args.empty()) return Complain(err, "running", "usage: vmachine running DIR [WINPATH...]");
  const bool change = args.size() > 1;
  if (!CheckMachine(args[0], "running", err, change)) return kExitBadInput;
  if (change) {
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "-" && args.size() == 2) break;
      WinPath parsed;
      if (ParseWinPath(args[i], parsed) != vu::platform::Status{ERROR_SUCCESS})
        return Complain(err, "running", "not a Windows path: " + args[i]);
      paths.push_back(parsed.ToString());
    }
    const vu::platform::Status status = WriteRunningPrograms(args[0], paths);
    if (status != ERROR_SUCCESS)
      return Complain(err, "running", "cannot write the list: " + Describe(status), kExitFailed);
  }
  for (const std::string& path : ReadRunningPrograms(args[0]))
    out << path << "\n";
  return kExitDone;
}

int RunPending(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               vu::platform::FaultPlan&) {
  if (args.size() != 1) return Complain(err, "pending", "usage: vmachine pending DIR");
  if (!CheckMachine(args[0], "pending", err, false)) return kExitBadInput;
  for (const std::string& path : RestartDeletions(args[0]))
    out << path << "\n";
  return kExitDone;
}

}  // namespace vu::tools
