#include "tools/vmachine/setup_command.h"

#include <filesystem>
#include <system_error>

#include "platform/faulty_machine.h"
#include "platform/sandbox/file_store.h"
#include "platform/sandbox/file_system.h"
#include "platform/sandbox/host_io.h"
#include "tools/vmachine/command_support.h"

namespace vu::tools {
namespace {

namespace fs = std::filesystem;
using vu::platform::Status;
using namespace vu::platform::sandbox;

constexpr const char* kProgramFiles[] = {
    "Install.exe", "Optimizer.exe", "Uninstall.exe", "Optimizer.hlp", "Optimizer.cnt",
};
constexpr const char* kRuntimeFiles[] = {
    "Shelllnk.tlb", "MSVBVM50.DLL", "MSCOMCTL32.OCX", "MSCOMCTL.OCA", "OLEAUT32.DLL",
    "OLEPRO32.DLL", "ASYCFILT.DLL", "STDOLE32.TLB",   "CTL3D32.DLL",
};

// The Windows build's dist folder as seen from this program: <bin>/../../windows/dist.
fs::path DefaultSource() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return self.parent_path() / ".." / ".." / "windows" / "dist";
}

struct Options {
  std::string dir;
  std::string folder = "C:\\SETUP";
  fs::path source;
  bool sourceGiven = false;
  bool runtime = false;
};

// Reads the words after "setup"; an empty text, or what is wrong with them.
std::string Parse(const std::vector<std::string>& args, Options& options) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--from") {
      if (i + 1 == args.size()) return "--from needs a host folder";
      options.source = args[++i];
      options.sourceGiven = true;
    } else if (args[i] == "--runtime") {
      options.runtime = true;
    } else if (args[i].starts_with("--")) {
      return "unknown option " + args[i];
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.empty() || positional.size() > 2)
    return "usage: vmachine setup DIR [WINFOLDER] [--from HOSTDIR] [--runtime]";
  options.dir = positional[0];
  if (positional.size() == 2) options.folder = positional[1];
  return {};
}

std::string StandIn(std::string_view name) {
  return "stand-in for " + std::string(name) + "\r\n";
}

}  // namespace

int RunSetup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             vu::platform::FaultPlan& faults) {
  Options options;
  const std::string problem = Parse(args, options);
  if (!problem.empty()) return Complain(err, "setup", problem);
  if (!CheckMachine(options.dir, "setup", err)) return kExitBadInput;
  std::error_code ec;
  if (options.sourceGiven && !fs::is_directory(options.source, ec))
    return Complain(err, "setup", "no such host folder " + options.source.string());
  if (!options.sourceGiven) options.source = DefaultSource();

  FileStore store(options.dir);
  SandboxFileSystem sandboxFiles(store, options.dir);
  const std::unique_ptr<vu::platform::FileSystem> files =
      vu::platform::MakeFaultyFiles(sandboxFiles, faults);
  HostEntry folder;
  Status status = store.resolver().Resolve(options.folder, folder);
  if (status == ERROR_PATH_NOT_FOUND && !folder.host.empty()) status = ERROR_SUCCESS;
  if (status == ERROR_SUCCESS && folder.exists() && !folder.isDirectory())
    status = ERROR_ALREADY_EXISTS;
  if (status != ERROR_SUCCESS)
    return Complain(err, "setup", options.folder + ": " + Describe(status));

  status = store.MakeDirectories(options.folder);
  if (status != ERROR_SUCCESS)
    return Complain(err, "setup", options.folder + ": " + Describe(status), kExitFailed);
  store.resolver().Resolve(options.folder, folder);
  const std::string base = folder.win.ToString() + (folder.win.IsRoot() ? "" : "\\");

  std::vector<std::string> names(std::begin(kProgramFiles), std::end(kProgramFiles));
  if (options.runtime)
    names.insert(names.end(), std::begin(kRuntimeFiles), std::end(kRuntimeFiles));
  for (const std::string& name : names) {
    const fs::path source = options.source / name;
    std::string bytes;
    const bool real = !options.source.empty() && fs::is_regular_file(source, ec) &&
                      ReadHostFile(source.string(), bytes) == ERROR_SUCCESS;
    if (!real) bytes = StandIn(name);
    status = files->WriteAll(base + name, bytes);
    if (status != ERROR_SUCCESS)
      return Complain(err, "setup", base + name + ": " + Describe(status), kExitFailed);
    out << base << name
        << (real ? " <- " + fs::weakly_canonical(source, ec).string() : " (stand-in)") << "\n";
  }
  return kExitDone;
}

}  // namespace vu::tools
