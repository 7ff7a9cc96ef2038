// Fault injection for the sandbox machine: tests make chosen calls of the seam fail with a chosen
// status, to show that the programs survive (and report) what a real machine can do to them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace vu::platform::sandbox {

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
  Append,
  WriteProfileString,
  ReadProfileString,
  ShortcutTarget,
  CreateMenuShortcut,
  RemoveMenuShortcut,
  SpecialFolderPath,
  StartProgram,
  Restart,
};

// "RegSetValue" -> Op::RegSetValue; nullopt for an unknown name.
std::optional<Op> ParseOp(std::string_view name);
std::string_view OpName(Op op);

class Faults {
 public:
  // The |nth| call of |op| from now on (1 = the next one) fails with |status|.
  void FailNth(Op op, int nth, Status status);
  // Every call of |op| whose path (or key path, or value name) equals |subject|, compared without
  // regard to case, fails with |status|.
  void FailSubject(Op op, std::string subject, Status status);
  void Clear();

  // Called by the back end at the start of each operation: the status to fail with, if any.
  // Counts the call.
  std::optional<Status> Check(Op op, std::string_view subject = {});
  // The same for an operation on two paths (a copy): a subject rule matches either.
  std::optional<Status> Check(Op op, std::string_view subject, std::string_view other);

  // Parses "OP:N:STATUS" (the Nth call) or "OP:=SUBJECT:STATUS" (every call on SUBJECT), as given
  // on a program's command line; false on a malformed text. STATUS is a number (decimal or 0x..)
  // or a name such as ERROR_ACCESS_DENIED.
  bool AddFromText(std::string_view text);

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
    std::string subject;
    Status status;
  };
  std::map<Op, long long> calls_;
  std::multimap<Op, Nth> nth_;
  std::vector<Subject> subjects_;
};

}  // namespace vu::platform::sandbox
