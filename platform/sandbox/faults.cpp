#include "platform/sandbox/faults.h"

#include <array>
#include <charconv>
#include <utility>

#include "platform/text.h"

namespace vu::platform::sandbox {
namespace {

struct OpEntry {
  Op op;
  std::string_view name;
};

constexpr std::array<OpEntry, 29> kOps = {{
    {Op::RegOpenKey, "RegOpenKey"},
    {Op::RegCreateKey, "RegCreateKey"},
    {Op::RegQueryValue, "RegQueryValue"},
    {Op::RegSetValue, "RegSetValue"},
    {Op::RegFlush, "RegFlush"},
    {Op::RegDeleteKey, "RegDeleteKey"},
    {Op::RegDeleteValue, "RegDeleteValue"},
    {Op::RegEnumKey, "RegEnumKey"},
    {Op::RegEnumValue, "RegEnumValue"},
    {Op::FindFirst, "FindFirst"},
    {Op::Attributes, "Attributes"},
    {Op::SetAttributes, "SetAttributes"},
    {Op::Remove, "Remove"},
    {Op::Copy, "Copy"},
    {Op::MakeDirectory, "MakeDirectory"},
    {Op::RemoveDirectory, "RemoveDirectory"},
    {Op::Length, "Length"},
    {Op::ReadFirstLine, "ReadFirstLine"},
    {Op::ReadAll, "ReadAll"},
    {Op::WriteAll, "WriteAll"},
    {Op::Append, "Append"},
    {Op::WriteProfileString, "WriteProfileString"},
    {Op::ReadProfileString, "ReadProfileString"},
    {Op::ShortcutTarget, "ShortcutTarget"},
    {Op::CreateMenuShortcut, "CreateMenuShortcut"},
    {Op::RemoveMenuShortcut, "RemoveMenuShortcut"},
    {Op::SpecialFolderPath, "SpecialFolderPath"},
    {Op::StartProgram, "StartProgram"},
    {Op::Restart, "Restart"},
}};

// The statuses a fault text may name instead of giving the number.
struct StatusName {
  std::string_view name;
  Status status;
};

constexpr std::array<StatusName, 12> kStatusNames = {{
    {"ERROR_FILE_NOT_FOUND", ERROR_FILE_NOT_FOUND},
    {"ERROR_PATH_NOT_FOUND", ERROR_PATH_NOT_FOUND},
    {"ERROR_ACCESS_DENIED", ERROR_ACCESS_DENIED},
    {"ERROR_NOT_ENOUGH_MEMORY", ERROR_NOT_ENOUGH_MEMORY},
    {"ERROR_INVALID_DATA", ERROR_INVALID_DATA},
    {"ERROR_WRITE_PROTECT", ERROR_WRITE_PROTECT},
    {"ERROR_NOT_READY", ERROR_NOT_READY},
    {"ERROR_SHARING_VIOLATION", ERROR_SHARING_VIOLATION},
    {"ERROR_DISK_FULL", ERROR_DISK_FULL},
    {"ERROR_BADDB", ERROR_BADDB},
    {"ERROR_CANTREAD", ERROR_CANTREAD},
    {"ERROR_CANTWRITE", ERROR_CANTWRITE},
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

bool ParseStatus(std::string_view text, Status& status) {
  for (const StatusName& entry : kStatusNames) {
    if (EqualsNoCase(entry.name, text)) {
      status = entry.status;
      return true;
    }
  }
  return ParseNumber(text, status);
}

}  // namespace

std::optional<Op> ParseOp(std::string_view name) {
  for (const OpEntry& entry : kOps) {
    if (EqualsNoCase(entry.name, name)) return entry.op;
  }
  return std::nullopt;
}

std::string_view OpName(Op op) {
  for (const OpEntry& entry : kOps) {
    if (entry.op == op) return entry.name;
  }
  return {};
}

void Faults::FailNth(Op op, int nth, Status status) {
  if (nth < 1) return;
  nth_.emplace(op, Nth{calls_[op] + nth, status});
}

void Faults::FailSubject(Op op, std::string subject, Status status) {
  subjects_.push_back(Subject{op, std::move(subject), status});
}

void Faults::Clear() {
  nth_.clear();
  subjects_.clear();
}

std::optional<Status> Faults::Check(Op op, std::string_view subject) {
  return Check(op, subject, {});
}

std::optional<Status> Faults::Check(Op op, std::string_view subject, std::string_view other) {
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
  if (result) return result;
  for (const Subject& rule : subjects_) {
    if (rule.op != op) continue;
    if (EqualsNoCase(rule.subject, subject) ||
        (!other.empty() && EqualsNoCase(rule.subject, other)))
      return rule.status;
  }
  return std::nullopt;
}

bool Faults::AddFromText(std::string_view text) {
  // A subject may itself hold colons ("C:\x"): the op ends at the first colon and the status
  // begins after the last.
  const std::size_t firstColon = text.find(':');
  const std::size_t lastColon = text.rfind(':');
  if (firstColon == std::string_view::npos || lastColon == firstColon) return false;
  const std::optional<Op> op = ParseOp(text.substr(0, firstColon));
  const std::string_view middle = text.substr(firstColon + 1, lastColon - firstColon - 1);
  Status status = ERROR_SUCCESS;
  if (!op || !ParseStatus(text.substr(lastColon + 1), status) || status == ERROR_SUCCESS)
    return false;
  if (!middle.empty() && middle[0] == '=') {
    if (middle.size() == 1) return false;
    FailSubject(*op, std::string(middle.substr(1)), status);
    return true;
  }
  int nth = 0;
  if (!ParseNumber(middle, nth) || nth < 1) return false;
  FailNth(*op, nth, status);
  return true;
}

}  // namespace vu::platform::sandbox
