// Which calls of the seam should fail, and with what status: the plan a FaultyMachine follows.
// Tests build one in code; the programs read it from "--fault" options in its text form.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace vu::platform {

// Every operation of the seam that can be made to fail.
enum class Op {
  RegOpenKey,
  RegCreateKey,
  RegQueryValue,
  RegSetValue,
  RegFlush,
  RegDeleteKey,
  RegDeleteValue,
  RegEnumKey,
  RegEnumValue,
  FindFirst,
  Attributes,
  SetAttributes,
  Remove,
  Copy,
  MakeDirectory,
  RemoveDirectory,
  Length,
  ReadFirstLine,
  ReadAll,
  WriteAll,
  WriteProfileString,
  ReadProfileString,
  ShortcutTarget,
  CreateMenuShortcut,
  RemoveMenuShortcut,
  SpecialFolderPath,
  StartProgram,
  Restart,
  Append,
  RemoveAtRestart,
};
inline constexpr std::size_t kOpCount = static_cast<std::size_t>(Op::RemoveAtRestart) + 1;

// "RegSetValue" (any case) -> Op::RegSetValue; nullopt for an unknown name.
std::optional<Op> ParseOp(std::string_view name);
std::string_view OpName(Op op);
// "ERROR_ACCESS_DENIED" (any case), "5" or "0x5" -> 5; nullopt for anything else.
std::optional<Status> ParseStatus(std::string_view text);

// What a rule's subject is compared with, per operation:
//   a file path ("C:\X\y", whatever separators, "." or ".." the call used; a listing's pattern
//   keeps its last part as given): the file operations (Append and RemoveAtRestart among them) and
//   ShortcutTarget; a key path below the root or below the open key ("Software\X"): RegOpenKey,
//   RegCreateKey, RegDeleteKey (the subkey path), RegFlush, RegEnumKey, RegEnumValue (the open
//   key's path); a value name: RegQueryValue, RegSetValue, RegDeleteValue; the shortcut's name:
//   CreateMenuShortcut, RemoveMenuShortcut; the CSIDL number: SpecialFolderPath; the command line:
//   StartProgram; nothing: Restart.
// Comparison ignores case.
class FaultPlan {
 public:
  // The |nth| call of |op| from now on (1 = the next one) fails with |status|.
  void FailNth(Op op, int nth, Status status);
  // Every call of |op| on |subject| fails with |status|.
  void FailSubject(Op op, std::string_view subject, Status status);
  void Clear();

  // Reads "OP:N:STATUS" (the Nth call) or "OP:=SUBJECT:STATUS" (every call on SUBJECT). STATUS is
  // a number (decimal or 0x..) or a name such as ERROR_ACCESS_DENIED. False, with a one-line
  // |error|, for a malformed text; nothing is added then.
  bool Add(std::string_view text, std::string& error);

  // Called by the wrapper at the start of each operation: the status to fail with, if any.
  // Counts the call. |other| is the second path of a copy: a subject rule matches either.
  std::optional<Status> Check(Op op, std::string_view subject = {}, std::string_view other = {});

  bool empty() const { return nth_.empty() && subjects_.empty(); }
  // How many calls of |op| were counted so far (a fault sweep fails each of them in turn).
  long long Calls(Op op) const {
    const auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
  }

 private:
  struct Nth {
    long long at;
    Status status;
  };
  struct Subject {
    Op op;
    std::string subject;  // in the operation's canonical spelling
    Status status;
  };
  std::map<Op, long long> calls_;
  std::multimap<Op, Nth> nth_;
  std::vector<Subject> subjects_;
};

// A file path as fault rules compare it: '/' read as '\', runs of separators as one, "." and
// ".." resolved (never above the drive root), no trailing separator but at a drive root; a
// network path keeps its leading "\\".
std::string FaultPath(std::string_view path);

}  // namespace vu::platform
