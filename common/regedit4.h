// REGEDIT4 registry files (.reg), as Windows 9x's regedit reads and writes them:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\Software\Example]
//   "Text"="C:\\Program Files\\Example"
//   @="the default value"
//   "Count"=dword:0000002a
//   "Bytes"=hex:0a,ff
//   "Path"=hex(2):25,57,49,4e,44,49,52,25,00
//   "Gone"=-
//
//   [-HKEY_LOCAL_MACHINE\Software\Obsolete]
//
// Reading accepts UTF-8 and, for a file that is not valid UTF-8, Windows-1252 (what regedit
// writes); root abbreviations (HKLM ...); ';' comment lines; hex lists continued over lines with a
// trailing backslash. Writing produces UTF-8 with CRLF line ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/status.h"

namespace vu::common {

// One change a .reg file asks for, with the line that asked.
struct RegFileEdit {
  enum class Kind { kCreateKey, kDeleteKey, kSetValue, kDeleteValue };
  Kind kind = Kind::kCreateKey;
  int line = 0;
  vu::platform::RootKey root = 0;
  std::string path;  // below the root
  std::string name;  // value name; empty for the default value
  std::uint32_t type = 0;
  std::string data;  // as the registry stores it: text types as UTF-8 with their NUL
};

struct RegFileProblem {
  int line = 0;
  std::string message;
};

// Reads the whole file. On the first malformed line: false, and |problem| names the line and
// what is wrong with it.
bool ParseRegFile(std::string_view bytes, std::vector<RegFileEdit>& edits, RegFileProblem& problem);

// Makes the edits in order. Deleting a key or value that is not there is not an error, as in
// regedit. Stops at the first registry call that fails: false, with the line of that edit.
bool ApplyRegFile(vu::platform::Registry& registry, const std::vector<RegFileEdit>& edits,
                  RegFileProblem& problem);

// A key to export: root and path below it (empty for the root itself).
struct RegBranch {
  vu::platform::RootKey root = 0;
  std::string path;
};

// The REGEDIT4 text of every branch in order: each key and all keys below it, subkeys in
// enumeration order, values in creation order. Fails with the status of the first call that
// failed (ERROR_FILE_NOT_FOUND for a branch that is not there).
vu::platform::Status ExportRegFile(vu::platform::Registry& registry,
                                   const std::vector<RegBranch>& branches, std::string& text);

// "HKEY_LOCAL_MACHINE\Software\X": a key's name as a .reg file spells it.
std::string RegKeyName(vu::platform::RootKey root, std::string_view path);

// Appends one CRLF-terminated value line ("name"=data, or @=data for the default value) in the
// form ParseRegFile reads back to the same type and bytes.
void AppendRegValue(std::string& out, std::string_view name, std::uint32_t type,
                    std::string_view data);

}  // namespace vu::common
