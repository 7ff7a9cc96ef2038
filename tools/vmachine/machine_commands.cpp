#include "tools/vmachine/machine_commands.h"

#include <optional>
#include <utility>

#include "platform/faulty_machine.h"
#include "platform/sandbox/facts.h"
#include "platform/sandbox/file_store.h"
#include "platform/sandbox/file_system.h"
#include "platform/sandbox/layout.h"
#include "platform/sandbox/machine.h"
#include "platform/sandbox/shell_link.h"
#include "tools/vmachine/command_support.h"

namespace vu::tools {
namespace {

using vu::platform::FileSystem;
using vu::platform::MakeFaultyFiles;
using vu::platform::Status;
using namespace vu::platform::sandbox;

struct Flag {
  char letter;
  std::uint32_t bit;
};

constexpr Flag kFlags[] = {
    {'R', FILE_ATTRIBUTE_READONLY},
    {'H', FILE_ATTRIBUTE_HIDDEN},
    {'S', FILE_ATTRIBUTE_SYSTEM},
    {'A', FILE_ATTRIBUTE_ARCHIVE},
};

std::optional<std::uint32_t> FlagBit(char letter) {
  for (const Flag& flag : kFlags) {
    if (flag.letter == (letter & ~0x20)) return flag.bit;
  }
  return std::nullopt;
}

std::string FlagText(std::uint32_t attributes) {
  std::string text;
  for (const Flag& flag : kFlags)
    text += (attributes & flag.bit) != 0 ? flag.letter : '-';
  return text;
}

// A shortcut's target the way BuildShellLink takes it: a drive path or a network path.
bool IsLinkTarget(std::string_view target) {
  const bool drive =
      target.size() >= 3 && target[1] == ':' && (target[2] == '\\' || target[2] == '/') &&
      ((target[0] >= 'A' && target[0] <= 'Z') || (target[0] >= 'a' && target[0] <= 'z'));
  const bool network = target.size() > 2 && target[0] == '\\' && target[1] == '\\';
  return drive || network;
}

std::string MachineIniPath(const std::string& dir) {
  return dir + "/" + std::string(kMachineIni);
}

}  // namespace

int RunInit(const std::vector<std::string>& args, std::ostream&, std::ostream& err,
            vu::platform::FaultPlan&) {
  if (args.size() != 1) return Complain(err, "init", "usage: vmachine init DIR");
  std::string error;
  if (!SandboxMachine::Init(args[0], &error)) return Complain(err, "init", error);
  return kExitDone;
}

int RunPath(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            vu::platform::FaultPlan&) {
  if (args.size() != 2) return Complain(err, "path", "usage: vmachine path DIR WINPATH");
  if (!CheckMachine(args[0], "path", err, false)) return kExitBadInput;
  HostEntry entry;
  const Status status = PathResolver(args[0]).Resolve(args[1], entry);
  // A path whose folders are missing still has a place on the host.
  if (status != ERROR_SUCCESS && (status != ERROR_PATH_NOT_FOUND || entry.host.empty()))
    return Complain(err, "path", args[1] + ": " + Describe(status));
  out << entry.host << "\n";
  return kExitDone;
}

int RunAttrib(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              vu::platform::FaultPlan& faults) {
  if (args.size() < 2 || args.size() > 6)
    return Complain(err, "attrib",
                    "usage: vmachine attrib DIR WINPATH [+R|-R] [+H|-H] [+S|-S] [+A|-A]");
  if (!CheckMachine(args[0], "attrib", err, args.size() > 2)) return kExitBadInput;
  std::uint32_t set = 0;
  std::uint32_t clear = 0;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string& flag = args[i];
    const std::optional<std::uint32_t> bit =
        flag.size() == 2 && (flag[0] == '+' || flag[0] == '-') ? FlagBit(flag[1]) : std::nullopt;
    if (!bit)
      return Complain(err, "attrib",
                      "bad attribute flag " + flag + " (use +R -R +H -H +S -S +A -A)");
    (flag[0] == '+' ? set : clear) |= *bit;
  }
  if ((set & clear) != 0) return Complain(err, "attrib", "a flag is both set and cleared");

  FileStore store(args[0]);
  SandboxFileSystem sandboxFiles(store, args[0]);
  const std::unique_ptr<FileSystem> files = MakeFaultyFiles(sandboxFiles, faults);
  Status status = ERROR_SUCCESS;
  std::uint32_t attributes = files->Attributes(args[1], &status);
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return Complain(err, "attrib", args[1] + ": " + Describe(status));
  if (set != 0 || clear != 0) {
    const std::uint32_t bits = ((attributes & kSettableAttributes) | set) & ~clear;
    status = files->SetAttributes(args[1], bits);
    if (status != ERROR_SUCCESS)
      return Complain(err, "attrib", args[1] + ": " + Describe(status), kExitFailed);
    attributes = files->Attributes(args[1], &status);
  }
  HostEntry entry;
  store.resolver().Resolve(args[1], entry);
  out << FlagText(attributes) << " " << attributes << " " << entry.win.ToString() << "\n";
  return kExitDone;
}

int RunSet(const std::vector<std::string>& args, std::ostream&, std::ostream& err,
           vu::platform::FaultPlan&) {
  if (args.size() < 2) return Complain(err, "set", "usage: vmachine set DIR KEY=VALUE...");
  if (!CheckMachine(args[0], "set", err)) return kExitBadInput;
  std::vector<std::pair<std::string, std::string>> facts;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::size_t equals = args[i].find('=');
    if (equals == std::string::npos)
      return Complain(err, "set", "malformed fact " + args[i] + " (expected KEY=VALUE)");
    const std::string key = args[i].substr(0, equals);
    const std::string value = args[i].substr(equals + 1);
    const std::optional<std::string> name = CanonicalFactName(key);
    if (!name) return Complain(err, "set", "unknown fact " + key);
    if (!IsValidFactValue(*name, value))
      return Complain(err, "set", "bad value for " + *name + ": " + value);
    facts.emplace_back(*name, value);
  }
  const Status status = WriteFacts(MachineIniPath(args[0]), facts);
  if (status != ERROR_SUCCESS)
    return Complain(err, "set", "cannot write machine.ini: " + Describe(status), kExitFailed);
  return kExitDone;
}

int RunLnk(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           vu::platform::FaultPlan& faults) {
  if (args.size() != 2 && args.size() != 3)
    return Complain(err, "lnk", "usage: vmachine lnk DIR LINKPATH [TARGET]");
  if (!CheckMachine(args[0], "lnk", err, args.size() == 3)) return kExitBadInput;
  FileStore store(args[0]);
  SandboxFileSystem sandboxFiles(store, args[0]);
  const std::unique_ptr<FileSystem> files = MakeFaultyFiles(sandboxFiles, faults);
  if (args.size() == 2) {
    std::string bytes;
    const Status status = files->ReadAll(args[1], bytes);
    if (status != ERROR_SUCCESS) return Complain(err, "lnk", args[1] + ": " + Describe(status));
    const std::optional<std::string> target = ReadShellLinkTarget(bytes);
    if (!target) return Complain(err, "lnk", args[1] + ": not a shortcut the shell can read");
    out << *target << "\n";
    return kExitDone;
  }
  const std::string& target = args[2];
  if (!IsLinkTarget(target))
    return Complain(err, "lnk",
                    "bad target " + target + " (a drive path or \\\\server\\share path)");
  HostEntry link;
  Status status = store.resolver().Resolve(args[1], link);
  if (status == ERROR_SUCCESS && link.isDirectory()) status = ERROR_ACCESS_DENIED;
  if (status != ERROR_SUCCESS) return Complain(err, "lnk", args[1] + ": " + Describe(status));
  HostEntry pointee;
  const bool isFolder =
      store.resolver().Resolve(target, pointee) == ERROR_SUCCESS && pointee.isDirectory();
  status = files->WriteAll(args[1], BuildShellLink(target, {}, isFolder));
  if (status != ERROR_SUCCESS)
    return Complain(err, "lnk", args[1] + ": " + Describe(status), kExitFailed);
  return kExitDone;
}

}  // namespace vu::tools
