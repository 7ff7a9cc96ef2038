#include <windows.h>

#include "platform/win32/machine.h"

#include "platform/win32/files.h"
#include "platform/win32/registry.h"
#include "platform/win32/shell.h"
#include "platform/win32/system.h"

namespace vu::platform::win32 {
namespace {

class Win32Machine final : public Machine {
 public:
  Registry& registry() override { return *registry_; }
  FileSystem& files() override { return *files_; }
  Shell& shell() override { return *shell_; }
  System& system() override { return *system_; }

 private:
  std::unique_ptr<Registry> registry_ = MakeRegistry();
  std::unique_ptr<FileSystem> files_ = MakeFileSystem();
  std::unique_ptr<Shell> shell_ = MakeShell();
  std::unique_ptr<System> system_ = MakeSystem();
};

}  // namespace

std::unique_ptr<Machine> OpenWin32Machine() {
  return std::make_unique<Win32Machine>();
}

}  // namespace vu::platform::win32
