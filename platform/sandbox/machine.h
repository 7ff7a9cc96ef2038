// A sandbox machine: an emulated Windows 98 machine kept in a host folder.
//
//   MACHINE/machine.ini     [System] facts (see facts.h)
//   MACHINE/drives/C/ ...   drive C: (one folder per drive letter, upper case)
//   MACHINE/registry.db     the registry (SQLite)
//   MACHINE/attributes.txt  DOS attributes that differ from the default
//   MACHINE/journal.log     programs started, restarts requested, beeps
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/machine.h"
#include "platform/sandbox/faults.h"
#include "platform/sandbox/file_store.h"
#include "platform/sandbox/file_system.h"
#include "platform/sandbox/registry.h"
#include "platform/sandbox/shell.h"
#include "platform/sandbox/system.h"

namespace vu::platform::sandbox {

class SandboxMachine final : public vu::platform::Machine {
 public:
  // Makes a new Windows 98-like machine in |hostDir| (made when missing): drive C with the
  // Windows and system folders, every shell folder of SpecialFolderLocations (with Program
  // Files, Common Files and My Documents), the Quick Launch folder, C:\WINDOWS\SYSTEM.INI and
  // C:\MSDOS.SYS (read-only, hidden, system); the registry's Uninstall, SharedDLLs and TCP/IP
  // NetTrans keys and the default user's Control Panel\desktop and Software; the facts of
  // DefaultFacts(). An existing machine is left as it is; any other folder that is not
  // empty is refused. False, with the reason in |error|, when nothing could be made.
  static bool Init(const std::string& hostDir, std::string* error);
  // Opens the machine in |hostDir|; null, with the reason in |error|, when there is none.
  static std::unique_ptr<SandboxMachine> Open(const std::string& hostDir, std::string* error);
  ~SandboxMachine() override;

  vu::platform::Registry& registry() override { return *registry_; }
  vu::platform::FileSystem& files() override { return files_; }
  vu::platform::Shell& shell() override { return shell_; }
  vu::platform::System& system() override { return system_; }

  SandboxRegistry& sandboxRegistry() { return *registry_; }
  Faults& faults() { return faults_; }
  const std::string& hostDir() const { return hostDir_; }

  // The host path of a Windows path, spelled as the host spells the parts that exist. Empty,
  // with the reason in |status|, when the path cannot lie on this machine (see PathResolver);
  // a path whose folders are missing still gets its host path, with ERROR_PATH_NOT_FOUND.
  std::string HostPath(std::string_view winPath, Status* status = nullptr) const;

  // The running program's own folder and argument text (App.Path and Command$).
  void SetProgramFolder(std::string folder) { system_.SetProgramFolder(std::move(folder)); }
  void SetCommandLine(std::string commandLine) { system_.SetCommandLine(std::move(commandLine)); }

  // Makes every registry change so far durable.
  Status Commit() { return registry_->Commit(); }

 private:
  explicit SandboxMachine(std::string hostDir);

  std::string hostDir_;
  Faults faults_;  // first in, last out: the parts below refer to it
  FileStore store_;
  SandboxFileSystem files_;
  SandboxSystem system_;
  SandboxShell shell_;
  std::unique_ptr<SandboxRegistry> registry_;
};

}  // namespace vu::platform::sandbox
