#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "toolkit/win32/entry.h"

#include <iostream>
#include <utility>

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

AutomationOptions ReadAutomationOptions(const std::vector<std::string>& arguments,
                                        bool takesRestore) {
  AutomationOptions automation;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--express") {
      automation.express = true;
    } else if (arguments[i] == "--script" && i + 1 < arguments.size()) {
      automation.script = arguments[++i];
    } else if (takesRestore && arguments[i] == "--restore" && i + 1 < arguments.size()) {
      automation.restore = arguments[++i];
    } else if (arguments[i].rfind("--script=", 0) == 0) {
      automation.script = arguments[i].substr(9);
    }
  }
  return automation;
}

int RunWin32Entry(const Win32Entry& entry) {
  return RunWin32Program([&entry](Host& host, const std::vector<std::string>& arguments) {
    if (entry.instead) {
      if (const std::optional<int> code = entry.instead(arguments)) return *code;
    }
    std::unique_ptr<platform::Machine> machine = platform::win32::OpenWin32Machine();
    std::unique_ptr<Script> script;
    std::string error;
    if (!entry.buildScript(*machine, arguments, script, error)) {
      std::cerr << entry.name << ": " << error << "\n";
      return kExitScriptMalformed;
    }
    return RunScriptedProgram(host, *machine, std::move(script), entry.answersBrowse,
                              [&](Program& program) { return entry.run(*machine, program); });
  });
}

}  // namespace vu::toolkit::win32
