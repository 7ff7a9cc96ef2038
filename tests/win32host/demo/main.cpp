// The demo form on real windows, for screenshots of the Win32 host (tools/screenshots/):
//   win32host_demo.exe [--script FILE]
#include <cstdio>
#include <string>
#include <vector>

#include "tests/win32host/demo_form.h"
#include "toolkit/options.h"
#include "toolkit/script.h"
#include "toolkit/win32/entry.h"

int main() {
  using namespace vu::toolkit;
  return win32::RunWin32Program([](Host& host, const std::vector<std::string>& arguments) {
    Program program(host);
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
      if (arguments[i] != "--script") continue;
      std::string error;
      auto script = LoadScript(arguments[i + 1], error);
      if (!script) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitScriptMalformed;
      }
      program.SetScript(std::move(script));
    }
    return program.Run([&] { program.form<demo::DemoForm>().Show(); });
  });
}
