#include "platform/fault_plan.h"

#include <array>
#include <charconv>

#include "platform/registry_path.h"
#include "platform/text.h"

namespace vu::platform {
namespace {

// How an operation's subject is spelled, so that a rule and a call compare alike.
enum class Spelling { File, Key, Verbatim };

struct OpEntry {
  Op op;
  std::string_view name;
  Spelling spelling;
};

constexpr std::array<OpEntry, kOpCount> kOps = {{
    {Op::RegOpenKey, "RegOpenKey", Spelling::Key},
    {Op::RegCreateKey, "RegCreateKey", Spelling::Key},
    {Op::RegQueryValue, "RegQueryValue", Spelling::Verbatim},
    {Op::RegSetValue, "RegSetValue", Spelling::Verbatim},
    {Op::RegFlush, "RegFlush", Spelling::Key},
    {Op::RegDeleteKey, "RegDeleteKey", Spelling::Key},
    {Op::RegDeleteValue, "RegDeleteValue", Spelling::Verbatim},
    {Op::RegEnumKey, "RegEnumKey", Spelling::Key},
    {Op::RegEnumValue, "RegEnumValue", Spelling::Key},
    {Op::FindFirst, "FindFirst", Spelling::File},
    {Op::Attributes, "Attributes", Spelling::File},
    {Op::SetAttributes, "SetAttributes", Spelling::File},
    {Op::Remove, "Remove", Spelling::File},
    {Op::Copy, "Copy", Spelling::File},
    {Op::MakeDirectory, "MakeDirectory", Spelling::File},
    {Op::RemoveDirectory, "RemoveDirectory", Spelling::File},
    {Op::Length, "Length", Spelling::File},
    {Op::ReadFirstLine, "ReadFirstLine", Spelling::File},
    {Op::ReadAll, "ReadAll", Spelling::File},
    {Op::WriteAll, "WriteAll", Spelling::File},
    {Op::WriteProfileString, "WriteProfileString", Spelling::File},
    {Op::ReadProfileString, "ReadProfileString", Spelling::File},
    {Op::ShortcutTarget, "ShortcutTarget", Spelling::File},
    {Op::CreateMenuShortcut, "CreateMenuShortcut", Spelling::Verbatim},
    {Op::RemoveMenuShortcut, "RemoveMenuShortcut", Spelling::Verbatim},
    {Op::SpecialFolderPath, "SpecialFolderPath", Spelling::Verbatim},
    {Op::StartProgram, "StartProgram", Spelling::Verbatim},
    {Op::Restart, "Restart", Spelling::Verbatim},
    {Op::Append, "Append", Spelling::File},
    {Op::RemoveAtRestart, "RemoveAtRestart", Spelling::File},
}};

// Each operation's entry sits at its own index, so every operation has exactly one name and
// looking one up is an index.
constexpr bool EveryOpNamedOnceInOrder() {
  for (std::size_t i = 0; i < kOps.size(); ++i) {
    if (static_cast<std::size_t>(kOps[i].op) != i || kOps[i].name.empty()) return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (kOps[j].name == kOps[i].name) return false;
    }
  }
  return true;
}
static_assert(EveryOpNamedOnceInOrder(), "every Op needs exactly one name, in enum order");

struct StatusName {
  std::string_view name;
  Status status;
};

constexpr std::array<StatusName, 24> kStatusNames = {{
    {"ERROR_INVALID_FUNCTION", ERROR_INVALID_FUNCTION},
    {"ERROR_FILE_NOT_FOUND", ERROR_FILE_NOT_FOUND},
    {"ERROR_PATH_NOT_FOUND", ERROR_PATH_NOT_FOUND},
    {"ERROR_ACCESS_DENIED", ERROR_ACCESS_DENIED},
    {"ERROR_INVALID_HANDLE", ERROR_INVALID_HANDLE},
    {"ERROR_NOT_ENOUGH_MEMORY", ERROR_NOT_ENOUGH_MEMORY},
    {"ERROR_INVALID_DATA", ERROR_INVALID_DATA},
    {"ERROR_WRITE_PROTECT", ERROR_WRITE_PROTECT},
    {"ERROR_NOT_READY", ERROR_NOT_READY},
    {"ERROR_WRITE_FAULT", ERROR_WRITE_FAULT},
    {"ERROR_SHARING_VIOLATION", ERROR_SHARING_VIOLATION},
    {"ERROR_HANDLE_DISK_FULL", ERROR_HANDLE_DISK_FULL},
    {"ERROR_BAD_NETPATH", ERROR_BAD_NETPATH},
    {"ERROR_FILE_EXISTS", ERROR_FILE_EXISTS},
    {"ERROR_DISK_FULL", ERROR_DISK_FULL},
    {"ERROR_INVALID_NAME", ERROR_INVALID_NAME},
    {"ERROR_DIR_NOT_EMPTY", ERROR_DIR_NOT_EMPTY},
    {"ERROR_ALREADY_EXISTS", ERROR_ALREADY_EXISTS},
    {"ERROR_BADDB", ERROR_BADDB},
    {"ERROR_BADKEY", ERROR_BADKEY},
    {"ERROR_CANTOPEN", ERROR_CANTOPEN},
    {"ERROR_CANTREAD", ERROR_CANTREAD},
    {"ERROR_CANTWRITE", ERROR_CANTWRITE},
    {"ERROR_KEY_DELETED", ERROR_KEY_DELETED},
}};

// Decimal, or hexadecimal after "0x"; the whole text and nothing else.
template <typename T>
bool ParseNumber(std::string_view text, T& value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return ec == std::errc() && end == text.data() + text.size();
}

std::string Spell(Op op, std::string_view subject) {
  switch (kOps[static_cast<std::size_t>(op)].spelling) {
    case Spelling::File:
      return FaultPath(subject);
    case Spelling::Key:
      return NormalizeKeyPath(subject);
    case Spelling::Verbatim:
      break;
  }
  return std::string(subject);
}

}  // namespace

std::optional<Op> ParseOp(std::string_view name) {
  for (const OpEntry& entry : kOps) {
    if (EqualsNoCase(entry.name, name)) return entry.op;
  }
  return std::nullopt;
}

std::string_view OpName(Op op) {
  const auto index = static_cast<std::size_t>(op);
  return index < kOps.size() ? kOps[index].name : std::string_view();
}

std::optional<Status> ParseStatus(std::string_view text) {
  for (const StatusName& entry : kStatusNames) {
    if (EqualsNoCase(entry.name, text)) return entry.status;
  }
  Status status = 0;
  if (!ParseNumber(text, status)) return std::nullopt;
  return status;
}

std::string FaultPath(std::string_view path) {
  std::string prefix;
  if (path.size() >= 2 && path[1] == ':') {
    prefix = std::string(path.substr(0, 2)) + '\\';
    path.remove_prefix(2);
  } else if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
             (path[1] == '\\' || path[1] == '/')) {
    prefix = "\\\\";  // a network path keeps its two backslashes
  } else if (!path.empty() && (path[0] == '\\' || path[0] == '/')) {
    prefix = "\\";
  }
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result = prefix;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) result += '\\';
    result += parts[i];
  }
  return result;
}

void FaultPlan::FailNth(Op op, int nth, Status status) {
  if (nth < 1) return;
  nth_.emplace(op, Nth{calls_[op] + nth, status});
}

void FaultPlan::FailSubject(Op op, std::string_view subject, Status status) {
  subjects_.push_back(Subject{op, Spell(op, subject), status});
}

void FaultPlan::Clear() {
  nth_.clear();
  subjects_.clear();
}

bool FaultPlan::Add(std::string_view text, std::string& error) {
  const auto fail = [&](std::string_view why) {
    error = "bad fault \"" + std::string(text) + "\": " + std::string(why) +
            " (OP:N:STATUS or OP:=SUBJECT:STATUS)";
    return false;
  };
  // A subject may itself hold colons ("C:\x"): the operation ends at the first colon and the
  // status begins after the last.
  const std::size_t firstColon = text.find(':');
  const std::size_t lastColon = text.rfind(':');
  if (firstColon == std::string_view::npos || lastColon == firstColon) {
    return fail("it needs three parts");
  }
  const std::optional<Op> op = ParseOp(text.substr(0, firstColon));
  if (!op) return fail("unknown operation \"" + std::string(text.substr(0, firstColon)) + "\"");
  const std::optional<Status> status = ParseStatus(text.substr(lastColon + 1));
  if (!status || *status == ERROR_SUCCESS) return fail("the status is not an error status");
  const std::string_view middle = text.substr(firstColon + 1, lastColon - firstColon - 1);
  if (!middle.empty() && middle[0] == '=') {
    if (middle.size() == 1) return fail("the subject is empty");
    FailSubject(*op, middle.substr(1), *status);
    return true;
  }
  int nth = 0;
  if (!ParseNumber(middle, nth) || nth < 1) return fail("N must be a call number from 1");
  FailNth(*op, nth, *status);
  return true;
}

std::optional<Status> FaultPlan::Check(Op op, std::string_view subject, std::string_view other) {
  const long long call = ++calls_[op];
  std::optional<Status> result;
  auto [first, last] = nth_.equal_range(op);
  for (auto it = first; it != last;) {
    if (it->second.at == call) {
      if (!result) result = it->second.status;
      it = nth_.erase(it);
    } else {
      ++it;
    }
  }
  if (result || subjects_.empty()) return result;
  bool spelled = false;
  std::string mine, theirs;
  for (const Subject& rule : subjects_) {
    if (rule.op != op) continue;
    if (!spelled) {
      mine = Spell(op, subject);
      if (!other.empty()) theirs = Spell(op, other);
      spelled = true;
    }
    if (EqualsNoCase(rule.subject, mine) || (!other.empty() && EqualsNoCase(rule.subject, theirs)))
      return rule.status;
  }
  return std::nullopt;
}

}  // namespace vu::platform
