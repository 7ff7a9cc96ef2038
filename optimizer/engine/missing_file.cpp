#include "optimizer/engine/missing_file.h"

#include <cctype>
#include <vector>

#include "common/registry_data.h"
#include "optimizer/engine/paths.h"
#include "platform/text.h"

namespace vu::optimizer {

namespace {

constexpr std::size_t kMaxPathText = 256;  // a text this long or longer is never judged

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte offset |count| characters after |from| (or the end of the text).
std::size_t AdvanceCharacters(std::string_view text, std::size_t from, std::size_t count) {
  std::size_t at = from;
  for (std::size_t k = 0; k < count && at < text.size(); ++k) {
    ++at;
    while (at < text.size() && IsContinuation(text[at]))
      ++at;
  }
  return at;
}

std::size_t CountCharacters(std::string_view text) {
  std::size_t count = 0;
  for (char c : text) {
    if (!IsContinuation(c)) ++count;
  }
  return count;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

// Whether the text after a cut is the rest of the path it cut: a "\" follows before any new
// drive path ("C:\Program Files\App Old\x.exe" cut at the blank), as opposed to arguments or
// a list of further paths ("...\run.exe /s", "C:\App;C:\Other").
bool CarriesPathOn(std::string_view rest) {
  const std::size_t slash = rest.find('\\');
  if (slash == std::string_view::npos) return false;
  const bool newDrive = slash >= 2 && rest[slash - 1] == ':' &&
                        std::isalpha(static_cast<unsigned char>(rest[slash - 2])) != 0;
  return !newDrive;
}

}  // namespace

std::string TrimAfterExtension(std::string_view text) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) return std::string(text);
  const std::size_t comma = text.find(',');
  std::size_t gap = 0;
  if (comma != std::string_view::npos && comma > dot) {
    gap = CountCharacters(text.substr(dot, comma - dot));
  }
  // Characters kept after the dot: three, or fewer when the comma is closer than that.
  const std::size_t after = (gap >= 3 || gap == 0) ? 3 : 3 - gap;
  return std::string(text.substr(0, AdvanceCharacters(text, dot + 1, after)));
}

std::string CutAfterDot(std::string_view text) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) return std::string(text);
  return std::string(text.substr(0, AdvanceCharacters(text, dot + 1, 3)));
}

PathState ProbePath(vu::platform::FileSystem& files, std::string_view path) {
  if (path.empty()) return PathState::Invalid;
  vu::platform::Status error = ERROR_SUCCESS;
  if (files.Attributes(path, &error) != INVALID_FILE_ATTRIBUTES) return PathState::Exists;
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return PathState::Missing;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_PARAMETER:
      return PathState::Invalid;
    default:
      return PathState::Unknown;
  }
}

bool IsFailedRead(vu::platform::Status status) {
  switch (status) {
    case ERROR_SUCCESS:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
    case ERROR_NO_MORE_ITEMS:
    case ERROR_MORE_DATA:
    case ERROR_INVALID_DATA:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_PARAMETER:
      return false;
    default:
      return true;
  }
}

PathHead ResolvePathHead(vu::platform::FileSystem& files, std::string_view text) {
  std::vector<std::string_view> readings;
  auto add = [&readings](std::string_view reading) {
    reading = TrimTrailingBlanks(reading);
    if (reading.size() <= 3) return;  // "C:\" alone says nothing about the text
    for (std::string_view known : readings) {
      if (known == reading) return;
    }
    readings.push_back(reading);
  };
  add(text);
  add(text.substr(0, TrimAfterExtension(text).size()));
  for (std::size_t i = text.size(); i-- > 0;) {
    if ((text[i] == ' ' || text[i] == ',' || text[i] == ';') && !CarriesPathOn(text.substr(i))) {
      add(text.substr(0, i));
    }
  }

  bool anyMissing = false;
  bool anyUnknown = false;
  for (std::string_view reading : readings) {
    switch (ProbePath(files, reading)) {
      case PathState::Exists:
        return PathHead{PathState::Exists, reading.size()};
      case PathState::Missing:
        anyMissing = true;
        break;
      case PathState::Unknown:
        anyUnknown = true;
        break;
      case PathState::Invalid:
        break;
    }
  }
  if (anyUnknown) return PathHead{PathState::Unknown, 0};
  return PathHead{anyMissing ? PathState::Missing : PathState::Invalid, 0};
}

namespace {

bool LooksLikeDrivePath(std::string_view text) {
  return text.find(":\\") == 1 && common::AnsiLength(text) < kMaxPathText;
}

bool OnDriveOf(std::string_view text, std::string_view systemDir) {
  return !systemDir.empty() && vu::platform::UpperCase(text.substr(0, 1)) ==
                                   vu::platform::UpperCase(systemDir.substr(0, 1));
}

}  // namespace

bool IsSystemDrivePath(vu::platform::System& system, std::string_view text) {
  return LooksLikeDrivePath(text) && OnDriveOf(text, GetSystemDir(system));
}

PathState JudgeMissingFile(vu::platform::Machine& machine, std::string_view text) {
  return MissingFileJudge(machine)(text);
}

MissingFileJudge::MissingFileJudge(vu::platform::Machine& machine)
    : machine_(machine), systemDir_(GetSystemDir(machine.system())) {}

PathState MissingFileJudge::operator()(std::string_view text) const {
  // The ANSI calls see the text up to its first NUL.
  const std::string path = TrimNull(text);
  if (!LooksLikeDrivePath(path) || !OnDriveOf(path, systemDir_)) return PathState::Exists;
  return ResolvePathHead(machine_.files(), path).state;
}

common::VbBool IsMissingFile(vu::platform::Machine& machine, std::string_view text) {
  return common::ToVbBool(JudgeMissingFile(machine, text) == PathState::Missing);
}

}  // namespace vu::optimizer
