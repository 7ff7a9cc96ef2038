#include "harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <random>

#include "common/registry_mod.h"
#include "platform/sandbox/facts.h"
#include "platform/sandbox/layout.h"
#include "toolkit/script.h"

namespace vu::installer::testing {

namespace {

std::filesystem::path FreshFolder() {
  static std::atomic<int> counter{0};
  std::random_device random;
  return std::filesystem::temp_directory_path() /
         ("vu-installer-test-" + std::to_string(random()) + "-" + std::to_string(++counter));
}

// Ends a scenario that would otherwise wait for ever.
class Watchdog : public toolkit::Form {
 public:
  explicit Watchdog(toolkit::Program& program)
      : Form(program, "watchdog", toolkit::FormSpec{.caption = "watchdog"}) {
    Add(toolkit::Kind::Timer, "deadline", toolkit::Spec{.interval = 3600 * 1000}).onTick = [this] {
      this->program().End(99);
    };
  }
};

}  // namespace

std::vector<std::string> RuntimeNames() {
  return {"Shelllnk.tlb", "MSVBVM50.DLL", "MSCOMCTL32.OCX", "MSCOMCTL.OCA", "OLEAUT32.DLL",
          "OLEPRO32.DLL", "ASYCFILT.DLL", "STDOLE32.TLB",   "CTL3D32.DLL"};
}

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
  machine_->SetProgramFolder(kSetFolder);
}

TempMachine::~TempMachine() {
  machine_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string TempMachine::Journal() const {
  std::ifstream in(dir_ / vu::platform::sandbox::kJournal);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void TempMachine::AddDrive(char letter) {
  std::filesystem::create_directories(dir_ / vu::platform::sandbox::kDrivesFolder /
                                      std::string(1, letter));
}

void TempMachine::Write(const std::string& path, std::string_view bytes) {
  vu::platform::FileSystem& files = machine_->files();
  for (std::size_t i = 3; i < path.size(); ++i) {
    if (path[i] == '\\') files.MakeDirectory(path.substr(0, i));
  }
  ASSERT_EQ(files.WriteAll(path, bytes), ERROR_SUCCESS) << path;
}

bool TempMachine::Exists(const std::string& path) {
  return machine_->files().Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

std::string TempMachine::Read(const std::string& path) {
  std::string bytes;
  machine_->files().ReadAll(path, bytes);
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
  std::string error;
  auto parsed = toolkit::Script::Parse(script, &error);
  if (!parsed) {
    ADD_FAILURE() << "script: " << error;
    return -1;
  }
  parsed->SetErrorStream(errors);
  parsed->SetBrowseAnswer([this](std::optional<std::string> answer) {
    temp.machine().shell().QueueBrowseAnswer(std::move(answer));
  });
  program().SetScript(std::move(parsed));
  program().form<Watchdog>();
  const int code = program().Run([this] { app().Startup(); });
  temp.machine().Commit();
  return code;
}

void InstallWorld::ShowWizard() {
  SetProductNames(app().settings());
  SetDefaultPaths(app().settings());
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
