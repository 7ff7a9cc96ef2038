// The sandbox machine's System: facts from machine.ini (read again only when the file was
// changed, so that "vmachine set" still reaches a running program), effects written to the
// journal, the clock of the host unless another one is set.
#pragma once

#include <optional>
#include <string>

#include "platform/sandbox/facts.h"
#include "platform/sandbox/file_stamp.h"
#include "platform/sandbox/journal.h"
#include "platform/system.h"

namespace vu::platform::sandbox {

class SandboxSystem final : public vu::platform::System {
 public:
  explicit SandboxSystem(const std::string& machineDir);

  // What the running program reports as its own folder (App.Path: a Windows path, no trailing
  // backslash but at a drive root) and as its argument text.
  void SetProgramFolder(std::string folder) { programFolder_ = std::move(folder); }
  void SetCommandLine(std::string commandLine) { commandLine_ = std::move(commandLine); }
  // The clock Now() reads from now on (the program's virtual clock); null for the host's.
  void SetClock(vu::platform::Clock* clock) { clock_ = clock; }

  std::string WindowsDirectory() override;
  // The Windows folder's TEMP, as on Windows 98.
  std::string TempDirectory() override;
  std::string SystemDirectory() override;
  // Absent unless the machine plays 64-bit Windows (fact SystemWow64Dir).
  std::string SystemWow64Directory() override;
  bool Version(OsVersion& version) override;
  std::uint32_t ProcessorType() override;
  bool Memory(MemoryStatus& status) override;
  bool UserName(std::string& name) override;
  bool VolumeSerial(std::string_view root, std::uint32_t& serial) override;
  int Metric(int index) override;
  int LogPixelsX() override;
  Status StartProgram(std::string_view commandLine, int show) override;
  bool Restart(std::uint32_t flags, std::uint32_t reserved) override;
  void Beep() override;
  LocalTime Now() override;
  std::string ProgramFolder() override { return programFolder_; }
  std::string CommandLine() override { return commandLine_; }

 private:
  const FactSheet& Facts();
  std::string Folder(std::string_view fact);

  std::string iniPath_;
  WatchedFile ini_;
  std::optional<FileStamp> factsStamp_;  // of machine.ini when |facts_| was read
  FactSheet facts_;
  std::string machineDir_;
  Journal journal_;
  std::string programFolder_;
  std::string commandLine_;
  vu::platform::Clock* clock_ = nullptr;
};

}  // namespace vu::platform::sandbox
