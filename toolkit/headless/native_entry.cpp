#include "toolkit/headless/native_entry.h"

#include <exception>
#include <iostream>
#include <utility>
#include <vector>

#include "platform/faulty_machine.h"
#include "platform/sandbox/machine.h"
#include "platform/status.h"
#include "toolkit/entry.h"
#include "toolkit/headless/host.h"

namespace vu::toolkit {
namespace {

constexpr int kExitUsage = kExitScriptMalformed;

// A bad command line: one line saying what is wrong and where the usage is.
int Usage(const NativeEntry& entry, const std::string& error) {
  std::cerr << entry.name << ": " << error << " (" << entry.name << " --help shows the usage)\n";
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

int Run(const std::vector<std::string>& args, const NativeEntry& entry) {
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error, entry.own)) return Usage(entry, error);
  if (options.help) {
    std::cout << entry.usage;
    return 0;
  }
  if (options.machine.empty()) return Usage(entry, "--machine DIR is required");

  auto sandbox = platform::sandbox::SandboxMachine::Open(options.machine, &error);
  if (!sandbox) {
    std::cerr << entry.name << ": " << error << "\n";
    return kExitUsage;
  }
  // One clock for the forms and the machine: on --fast a run repeats to the millisecond.
  platform::VirtualClock clock;
  if (options.fast) sandbox->SetClock(&clock);
  platform::FaultyMachine faulty(*sandbox);
  for (const std::string& fault : options.faults)
    faulty.faults().Add(fault, error);  // checked by ParseOptions
  platform::Machine* machine = &faulty;
  if (entry.instead) {
    if (const std::optional<int> code = entry.instead(*machine, options)) {
      sandbox->Commit();
      return *code;
    }
  }
  platform::System& system = machine->system();
  sandbox->SetProgramFolder(entry.programFolder(options, system));
  sandbox->SetCommandLine(options.arguments);

  std::unique_ptr<Script> script;
  if (!entry.buildScript(options, script, error)) {
    std::cerr << entry.name << ": " << error << "\n";
    return kExitUsage;
  }

  HeadlessOptions hostOptions = HostOptions(options, system);
  hostOptions.clock = &clock;
  HeadlessHost host(hostOptions);
  const int code = RunScriptedProgram(host, *machine, std::move(script), entry.answersBrowse,
                                      [&](platform::Machine& scripted, Program& program) {
                                        return entry.run(scripted, program, options);
                                      });
  sandbox->Commit();
  return code;
}

}  // namespace

int RunNativeEntry(int argc, char** argv, const NativeEntry& entry) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc), entry);
  } catch (const std::exception& e) {
    // The last guard: whatever the host throws at us ends as one line, not an abort.
    std::cerr << entry.name << ": " << e.what() << "\n";
    return kExitUsage;
  }
}

}  // namespace vu::toolkit
