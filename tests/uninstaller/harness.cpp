#include "harness.h"

#include <gtest/gtest.h>

#include "common/install_log.h"
#include "common/registry_mod.h"
#include "platform/status.h"
#include "tests/support/scripted.h"
#include "toolkit/script.h"

namespace vu::uninstaller::testing {

namespace {

toolkit::HeadlessOptions HostOptions(std::ostream& errors, int pixelsPerInch) {
  toolkit::HeadlessOptions options;
  options.virtualClock = true;
  options.errors = &errors;
  options.pixelsPerInch = pixelsPerInch;
  return options;
}

}  // namespace

TempMachine::TempMachine(int pixelsPerInch)
    : vu::test_support::TempMachine("vu-uninstaller-test-", "C:\\WINDOWS", pixelsPerInch) {}

void TempMachine::MakeFolder(const std::string& path) {
  vu::test_support::PlantFolder(machine().files(), path);
  ASSERT_TRUE(Exists(path)) << path;
}

void TempMachine::MakeFile(const std::string& path) {
  vu::test_support::PlantFile(machine().files(), path, "data\r\n");
}

void TempMachine::SetValue(const std::string& key, const std::string& name,
                           const std::string& text) {
  ASSERT_EQ(common::SetRegistryValueInstallerChecked(machine().registry(), HKEY_LOCAL_MACHINE, key,
                                                     name, 1, text),
            ERROR_SUCCESS);
}

void TempMachine::DeleteValue(const std::string& key, const std::string& name) {
  ASSERT_EQ(common::DeleteRegistryValueChecked(machine().registry(), HKEY_LOCAL_MACHINE, key, name),
            ERROR_SUCCESS);
}

bool TempMachine::KeyExists(const std::string& key) {
  std::unique_ptr<vu::platform::RegistryKey> opened;
  return machine().registry().OpenKey(HKEY_LOCAL_MACHINE, key, opened) == ERROR_SUCCESS;
}

void TempMachine::InstallDefault() {
  const std::string dir = kProgramDir;
  for (const char* name : {"Optimizer.exe", "Optimizer.hlp", "Optimizer.cnt"})
    MakeFile(dir + "\\" + name);
  MakeFile(kUninstaller);
  ASSERT_EQ(machine().shell().CreateMenuShortcut("Velloria Utilities", "Optimizer",
                                                 dir + "\\Optimizer.exe", ""),
            ERROR_SUCCESS);
  SetValue(kRecordKey, "ProgramfilePath", dir);
  SetValue(kRecordKey, "UninstallString", "C:\\WINDOWS\\VLUN32.exe -Velloria Optimizer");
  SetValue(kRecordKey, "DisplayName", "Velloria Optimizer");
  SetValue(kRecordKey, "ShortName", "Optimizer");
  SetValue(kRecordKey, "LongName", "Velloria Optimizer");
  SetValue(kRecordKey, "StartmenuPath", kMenuFolder);
}

void TempMachine::InstallLogged(bool parentMade) {
  InstallDefault();
  const std::string dir = kProgramDir;
  common::InstallLog log;
  if (parentMade) log.push_back(common::LoggedFolder(kProductParent));
  log.push_back(common::LoggedFolder(dir));
  for (const char* name : {"\\Optimizer.exe", "\\Optimizer.hlp", "\\Optimizer.cnt"})
    log.push_back(*common::FingerprintFile(machine().files(), dir + name));
  log.push_back(common::LoggedFolder(kMenuFolder));
  log.push_back(
      *common::FingerprintFile(machine().files(), std::string(kMenuFolder) + "\\Optimizer.lnk"));
  ASSERT_TRUE(common::WriteInstallLog(machine().registry(), kRecordKey, log));
}

void RecordingHost::ControlChanged(toolkit::Control& control, toolkit::Prop prop) {
  if (control.kind() == toolkit::Kind::ProgressBar && prop == toolkit::Prop::Value)
    barValues.push_back(control.value());
  HeadlessHost::ControlChanged(control, prop);
}

UninstallWorld::UninstallWorld(TempMachine& temp, std::string argument)
    : temp(temp),
      host(HostOptions(errors, temp.machine().system().LogPixelsX())),
      program(host),
      app(temp.machine(), program, std::move(argument)) {}

int UninstallWorld::Start() {
  return EndCode([this] { app.Startup(); });
}

void UninstallWorld::StartAndConfirm() {
  ASSERT_EQ(Start(), -1) << errors.str();
  ASSERT_TRUE(confirm().yesButton.UserClick());
}

int UninstallWorld::Play(std::string_view script) {
  auto parsed = vu::test_support::ParseScript(script, errors);
  if (!parsed) return -1;
  program.SetScript(std::move(parsed));
  return program.Run([this] { app.Startup(); });
}

int UninstallWorld::EndCode(const std::function<void()>& action) {
  return vu::test_support::EndCode(action);
}

}  // namespace vu::uninstaller::testing
