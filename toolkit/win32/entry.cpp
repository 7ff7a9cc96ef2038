#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "toolkit/win32/entry.h"

#include <exception>
#include <iostream>
#include <utility>

#include "platform/fault_plan.h"
#include "platform/faulty_machine.h"
#include "platform/text.h"
#include "platform/win32/command_line.h"
#include "platform/win32/family.h"
#include "platform/win32/machine.h"
#include "platform/win32/wide.h"
#include "toolkit/entry.h"
#include "toolkit/win32/host.h"

namespace vu::toolkit::win32 {

std::vector<std::string> ProcessArguments() {
  // Split here rather than by CommandLineToArgvW, which Windows 9x only has in its wide form.
  return platform::win32::SplitCommandLine(platform::win32::WideCalls()
                                               ? platform::win32::NarrowZ(::GetCommandLineW())
                                               : platform::win32::FromAnsiZ(::GetCommandLineA()));
}

ProcessSetup::ProcessSetup() {
  using SetAwareFunction = BOOL(WINAPI*)();
  if (HMODULE user = ::GetModuleHandleA("user32.dll")) {
    // Absent before Windows Vista, where every program sees the real pixels per inch anyway.
    if (auto setAware = reinterpret_cast<SetAwareFunction>(
            reinterpret_cast<void*>(::GetProcAddress(user, "SetProcessDPIAware")))) {
      setAware();
    }
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  ole_ = SUCCEEDED(::OleInitialize(nullptr));
}

ProcessSetup::~ProcessSetup() {
  if (ole_) ::OleUninitialize();
}

int RunWin32Program(
    const std::function<int(Host& host, const std::vector<std::string>& arguments)>& main) {
  ProcessSetup setup;
  Win32Host host;
  return main(host, ProcessArguments());
}

bool ReadAutomationOptions(const std::vector<std::string>& arguments,
                           const std::vector<ProgramOption>& own, AutomationOptions& automation,
                           std::string& error) {
  // A value: after '=' in the same argument, or the next argument.
  const auto value = [&arguments](std::size_t& i, std::string_view name, std::string& out) {
    const std::string& argument = arguments[i];
    if (argument.size() > name.size() && argument.compare(0, name.size(), name) == 0 &&
        argument[name.size()] == '=') {
      out = argument.substr(name.size() + 1);
      return true;
    }
    if (argument != name || i + 1 >= arguments.size()) return false;
    out = arguments[++i];
    return true;
  };
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    std::string text;
    if (arguments[i] == "--help") {
      automation.help = true;
    } else if (value(i, "--script", text)) {
      automation.script = std::move(text);
    } else if (value(i, "--fault", text)) {
      platform::FaultPlan check;
      if (!check.Add(text, error)) return false;
      automation.faults.push_back(std::move(text));
    } else {
      for (const ProgramOption& option : own) {
        if (option.flag != nullptr && arguments[i] == option.name) {
          *option.flag = true;
          break;
        }
        if (option.value != nullptr && value(i, option.name, text)) {
          *option.value = std::move(text);
          break;
        }
      }
    }
  }
  return true;
}

namespace {

int RunEntry(const Win32Entry& entry) {
  return RunWin32Program([&entry](Host& host, const std::vector<std::string>& arguments) {
    AutomationOptions automation;
    std::string error;
    if (!ReadAutomationOptions(arguments, entry.own, automation, error)) {
      std::cerr << entry.name << ": " << error << "\n";
      return kExitScriptMalformed;
    }
    if (automation.help) {
      std::cout << entry.usage << std::flush;
      return 0;
    }
    std::unique_ptr<platform::Machine> real = platform::win32::OpenWin32Machine();
    platform::FaultyMachine machine(*real);
    for (const std::string& fault : automation.faults)
      machine.faults().Add(fault, error);  // checked above
    if (entry.instead) {
      if (const std::optional<int> code = entry.instead(machine)) return *code;
    }
    std::unique_ptr<Script> script;
    if (!entry.buildScript(machine, automation, script, error)) {
      std::cerr << entry.name << ": " << error << "\n";
      return kExitScriptMalformed;
    }
    return RunScriptedProgram(host, machine, std::move(script), entry.answersBrowse,
                              [&](platform::Machine& scripted, Program& program) {
                                return entry.run(scripted, program);
                              });
  });
}

}  // namespace

int RunWin32Entry(const Win32Entry& entry) {
  try {
    return RunEntry(entry);
  } catch (const std::exception& e) {
    // The last guard: whatever the system throws at us ends as one line, not an abort.
    std::cerr << entry.name << ": " << e.what() << "\n";
    return kExitScriptMalformed;
  }
}

}  // namespace vu::toolkit::win32
