#include "harness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "common/registry_mod.h"
#include "platform/sandbox/facts.h"
#include "platform/sandbox/layout.h"
#include "platform/status.h"
#include "toolkit/script.h"

namespace vu::uninstaller::testing {

namespace {

std::filesystem::path FreshFolder() {
  static std::atomic<int> counter{0};
  std::random_device random;
  return std::filesystem::temp_directory_path() /
         ("vu-uninstaller-test-" + std::to_string(random()) + "-" + std::to_string(++counter));
}

toolkit::HeadlessOptions HostOptions(std::ostream& errors, int pixelsPerInch) {
  toolkit::HeadlessOptions options;
  options.virtualClock = true;
  options.errors = &errors;
  options.pixelsPerInch = pixelsPerInch;
  return options;
}

}  // namespace

TempMachine::TempMachine(int pixelsPerInch) : dir_(FreshFolder()) {
  std::string error;
  if (!vu::platform::sandbox::SandboxMachine::Init(dir_.string(), &error)) {
    ADD_FAILURE() << "cannot make a machine: " << error;
    std::abort();
  }
  const std::string ini = (dir_ / vu::platform::sandbox::kMachineIni).string();
  vu::platform::sandbox::WriteFacts(ini, {{"LogPixelsX", std::to_string(pixelsPerInch)}});
  machine_ = vu::platform::sandbox::SandboxMachine::Open(dir_.string(), &error);
  if (!machine_) {
    ADD_FAILURE() << "cannot open the machine: " << error;
    std::abort();
  }
  machine_->SetProgramFolder("C:\\WINDOWS");
}

TempMachine::~TempMachine() {
  machine_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void TempMachine::MakeFolder(const std::string& path) {
  for (std::size_t i = path.find('\\', 3);; i = path.find('\\', i + 1)) {
    const std::string part = path.substr(0, i);
    if (!Exists(part)) {
      ASSERT_EQ(machine_->files().MakeDirectory(part), ERROR_SUCCESS) << part;
    }
    if (i == std::string::npos) break;
  }
}

void TempMachine::MakeFile(const std::string& path) {
  MakeFolder(path.substr(0, path.rfind('\\')));
  ASSERT_EQ(machine_->files().WriteAll(path, "data\r\n"), ERROR_SUCCESS) << path;
}

bool TempMachine::Exists(const std::string& path) {
  return machine_->files().Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

void TempMachine::SetValue(const std::string& key, const std::string& name,
                           const std::string& text) {
  ASSERT_EQ(common::SetRegistryValueInstallerChecked(machine_->registry(), HKEY_LOCAL_MACHINE, key,
                                                     name, 1, text),
            ERROR_SUCCESS);
}

void TempMachine::DeleteValue(const std::string& key, const std::string& name) {
  ASSERT_EQ(common::DeleteRegistryValueChecked(machine_->registry(), HKEY_LOCAL_MACHINE, key, name),
            ERROR_SUCCESS);
}

bool TempMachine::KeyExists(const std::string& key) {
  std::unique_ptr<vu::platform::RegistryKey> opened;
  return machine_->registry().OpenKey(HKEY_LOCAL_MACHINE, key, opened) == ERROR_SUCCESS;
}

void TempMachine::InstallDefault() {
  const std::string dir = kProgramDir;
  for (const char* name : {"Optimizer.exe", "Optimizer.hlp", "Optimizer.cnt"})
    MakeFile(dir + "\\" + name);
  MakeFile(kUninstaller);
  ASSERT_EQ(machine_->shell().CreateMenuShortcut("Velloria Utilities", "Optimizer",
                                                 dir + "\\Optimizer.exe", ""),
            ERROR_SUCCESS);
  SetValue(kRecordKey, "ProgramfilePath", dir);
  SetValue(kRecordKey, "UninstallString", "C:\\WINDOWS\\VLUN32.exe -Velloria Optimizer");
  SetValue(kRecordKey, "DisplayName", "Velloria Optimizer");
  SetValue(kRecordKey, "ShortName", "Optimizer");
  SetValue(kRecordKey, "LongName", "Velloria Optimizer");
  SetValue(kRecordKey, "StartmenuPath", kMenuFolder);
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
  std::string error;
  auto parsed = toolkit::Script::Parse(script, &error);
  if (!parsed) {
    ADD_FAILURE() << "script: " << error;
    return -1;
  }
  parsed->SetErrorStream(errors);
  program.SetScript(std::move(parsed));
  return program.Run([this] { app.Startup(); });
}

int UninstallWorld::EndCode(const std::function<void()>& action) {
  try {
    action();
  } catch (const toolkit::EndProgram& end) {
    return end.exitCode;
  }
  return -1;
}

}  // namespace vu::uninstaller::testing
