// A System with chosen facts, for the procedures that only read one or two of them.
#pragma once

#include <string>

#include "platform/system.h"

namespace vu::contract {

class FakeSystem : public vu::platform::System {
 public:
  std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
  int logPixelsX = 96;

  std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
  std::string SystemDirectory() override { return systemDirectory; }
  std::string SystemWow64Directory() override { return std::string(); }
  std::string TempDirectory() override { return "C:\\WINDOWS\\TEMP"; }
  bool Version(vu::platform::OsVersion&) override { return false; }
  std::uint32_t ProcessorType() override { return 586; }
  bool Memory(vu::platform::MemoryStatus&) override { return false; }
  bool UserName(std::string&) override { return false; }
  bool VolumeSerial(std::string_view, std::uint32_t&) override { return false; }
  int Metric(int) override { return 0; }
  int LogPixelsX() override { return logPixelsX; }
  vu::platform::Status StartProgram(std::string_view, int) override {
    return ERROR_INVALID_FUNCTION;
  }
  bool Restart(std::uint32_t, std::uint32_t) override { return false; }
  void Beep() override {}
  vu::platform::LocalTime Now() override { return {}; }
  std::string ProgramFolder() override { return "C:\\"; }
  std::string CommandLine() override { return std::string(); }
};

}  // namespace vu::contract
