#include "toolkit/headless/native_entry.h"

#include <iostream>
#include <utility>
#include <vector>

#include "platform/status.h"
#include "toolkit/entry.h"
#include "toolkit/headless/host.h"

namespace vu::toolkit {
namespace {

constexpr int kExitUsage = kExitScriptMalformed;

int Usage(const NativeEntry& entry, const std::string& error) {
  std::cerr << entry.name << ": " << error << "\n" << entry.usage;
  return kExitUsage;
}

// The host's screen from the machine's metrics and pixels per inch, where it reports them.
HeadlessOptions HostOptions(const Options& options, platform::System& system) {
  HeadlessOptions hostOptions;
  hostOptions.virtualClock = options.fast;
  hostOptions.transcript = options.transcript ? &std::cout : nullptr;
  if (const int width = system.Metric(SM_CXSCREEN); width > 0) {
    hostOptions.screenWidthPixels = width;
  }
  if (const int height = system.Metric(SM_CYSCREEN); height > 0) {
    hostOptions.screenHeightPixels = height;
  }
  if (const int dpi = system.LogPixelsX(); dpi > 0) hostOptions.pixelsPerInch = dpi;
  return hostOptions;
}

}  // namespace

int RunNativeEntry(int argc, char** argv, const NativeEntry& entry) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) return Usage(entry, error);
  if (options.machine.empty()) return Usage(entry, "--machine DIR is required");
  if (entry.refuse) {
    if (const std::string refused = entry.refuse(options); !refused.empty()) {
      return Usage(entry, refused);
    }
  }

  auto machine = platform::sandbox::SandboxMachine::Open(options.machine, &error);
  if (!machine) {
    std::cerr << entry.name << ": " << error << "\n";
    return kExitUsage;
  }
  if (entry.instead) {
    if (const std::optional<int> code = entry.instead(*machine, options)) return *code;
  }
  platform::System& system = machine->system();
  machine->SetProgramFolder(entry.programFolder(options, system));
  machine->SetCommandLine(options.arguments);

  std::unique_ptr<Script> script;
  if (!entry.buildScript(options, script, error)) {
    std::cerr << entry.name << ": " << error << "\n";
    return kExitUsage;
  }

  HeadlessHost host(HostOptions(options, system));
  const int code =
      RunScriptedProgram(host, *machine, std::move(script), entry.answersBrowse,
                         [&](Program& program) { return entry.run(*machine, program, options); });
  machine->Commit();
  return code;
}

}  // namespace vu::toolkit
