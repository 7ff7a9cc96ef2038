#include "harness.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/registry_mod.h"
#include "platform/sandbox/layout.h"
#include "tests/support/scripted.h"
#include "toolkit/script.h"

namespace vu::installer::testing {

std::vector<std::string> RuntimeNames() {
  return {"Shelllnk.tlb", "MSVBVM50.DLL", "MSCOMCTL32.OCX", "MSCOMCTL.OCA", "OLEAUT32.DLL",
          "OLEPRO32.DLL", "ASYCFILT.DLL", "STDOLE32.TLB",   "CTL3D32.DLL"};
}

TempMachine::TempMachine(int pixelsPerInch)
    : vu::test_support::TempMachine("vu-installer-test-", kSetFolder, pixelsPerInch) {}

void TempMachine::AddDrive(char letter) {
  std::filesystem::create_directories(dir() / vu::platform::sandbox::kDrivesFolder /
                                      std::string(1, letter));
}

void TempMachine::Write(const std::string& path, std::string_view bytes) {
  vu::test_support::PlantFile(machine().files(), path, bytes);
}

std::string TempMachine::Read(const std::string& path) {
  std::string bytes;
  machine().files().ReadAll(path, bytes);
  return bytes;
}

Session::Session(TempMachine& temp, std::ostream& errors, std::ostream& transcript)
    : host([&] {
        toolkit::HeadlessOptions options;
        options.virtualClock = true;
        options.errors = &errors;
        options.transcript = &transcript;
        options.pixelsPerInch = temp.machine().system().LogPixelsX();
        return options;
      }()),
      program(host),
      app(temp.machine(), program) {}

InstallWorld::InstallWorld(int pixelsPerInch)
    : temp(pixelsPerInch), session(std::make_unique<Session>(temp, errors, transcript)) {}

void InstallWorld::NewSession() {
  session.reset();
  session = std::make_unique<Session>(temp, errors, transcript);
}

std::vector<std::string> InstallWorld::Statuses() const {
  std::vector<std::string> statuses;
  std::istringstream lines(transcript.str());
  const std::string marker = "frmMain.statusLabel \"";
  for (std::string line; std::getline(lines, line);) {
    const std::size_t at = line.find(marker);
    if (at == std::string::npos) continue;
    std::string text = line.substr(at + marker.size());
    if (!text.empty() && text.back() == '"') text.pop_back();
    statuses.push_back(text);
  }
  return statuses;
}

void InstallWorld::LaySet(bool runtime, const std::vector<std::string>& leaveOut,
                          const std::string& tag) {
  std::vector<std::string> names = {"Install.exe", "Optimizer.exe", "Uninstall.exe",
                                    "Optimizer.hlp", "Optimizer.cnt"};
  if (runtime) {
    for (const std::string& name : RuntimeNames())
      names.push_back(name);
  }
  for (const std::string& name : names) {
    if (std::find(leaveOut.begin(), leaveOut.end(), name) != leaveOut.end()) continue;
    temp.Write(std::string(kSetFolder) + "\\" + name, tag + " " + name);
  }
}

int InstallWorld::Play(std::string_view script) {
  auto parsed = vu::test_support::ParseScript(script, errors);
  if (!parsed) return -1;
  parsed->SetBrowseAnswer([this](std::optional<std::string> answer) {
    temp.machine().QueueBrowseAnswer(std::move(answer));
  });
  program().SetScript(std::move(parsed));
  program().form<vu::test_support::Watchdog>();
  const int code = program().Run([this] { app().Startup(); });
  temp.machine().Commit();
  return code;
}

void InstallWorld::ShowWizard() {
  SetProductNames(app().settings());
  SetDefaultPaths(app().settings(), app().machine().shell());
  main().Show();
}

bool InstallWorld::RunUntil(const std::function<bool()>& done, std::int64_t ms) {
  const std::int64_t deadline = Now() + ms;
  while (!done()) {
    if (Now() >= deadline) return false;
    session->host.WaitForEvent();
  }
  return true;
}

std::string InstallWorld::Record(std::string_view name) {
  return common::GetRegistryString(temp.machine().registry(), HKEY_LOCAL_MACHINE, kRecordKey, name);
}

}  // namespace vu::installer::testing
