// The sandbox machine's system facts: section [System] of MACHINE/machine.ini, one "Name=value"
// line each. Memory figures are in bytes; "VolumeSerial.C" holds drive C's volume serial.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/status.h"

namespace vu::platform::sandbox {

inline constexpr std::string_view kFactsSection = "System";

// The proper spelling of a fact's name ("totalphys" -> "TotalPhys", "volumeserial.d" ->
// "VolumeSerial.D"); nullopt for a name that is no fact.
std::optional<std::string> CanonicalFactName(std::string_view name);
// Whether |value| suits the fact named |canonicalName|: a number in range for the numeric facts
// (decimal, or hexadecimal after 0x), a drive path for the folders, one line for the user name.
bool IsValidFactValue(std::string_view canonicalName, std::string_view value);
// Decimal, or hexadecimal after "0x"; nothing else around it.
std::optional<std::uint64_t> ParseFactNumber(std::string_view text);

// The facts of a new machine, in the order machine.ini lists them: Windows 98 (4.10) on a
// Pentium with 64 MB of memory and an 800x600 screen at 96 pixels per inch.
std::vector<std::pair<std::string, std::string>> DefaultFacts();
// A whole machine.ini holding |facts|.
std::string FactsFileText(const std::vector<std::pair<std::string, std::string>>& facts);

// The facts as machine.ini held them when it was read.
class FactSheet {
 public:
  // A missing or unreadable file gives an empty sheet.
  static FactSheet Read(const std::string& iniPath);

  std::optional<std::string> Text(std::string_view name) const;
  std::optional<std::uint64_t> Number(std::string_view name) const;

 private:
  std::string text_;
  // Each fact asked for is looked up in the text once: the cleaners ask for the system folder
  // for every path they judge.
  mutable std::map<std::string, std::optional<std::string>, std::less<>> asked_;
};

// Sets each fact in machine.ini (replaced whole, never left half written), keeping every other
// line of the file.
Status WriteFacts(const std::string& iniPath,
                  const std::vector<std::pair<std::string, std::string>>& facts);

}  // namespace vu::platform::sandbox
