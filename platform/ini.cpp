#include "platform/ini.h"

#include <vector>

#include "platform/text.h"

namespace vu::platform::ini {
namespace {

struct Line {
  std::string_view content;
  std::string_view ending;  // "\r\n", "\n", "\r", or "" for an unterminated last line
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back({text.substr(start), {}});
      break;
    }
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    const std::size_t length = crlf ? 2 : 1;
    lines.push_back({text.substr(start, end - start), text.substr(end, length)});
    start = end + length;
  }
  return lines;
}

// The name of a "[name]" line; nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view content) {
  const std::string_view trimmed = Trim(content);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const std::size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

// The key of a "key=value" line; nullopt for comments and lines without '='.
std::optional<std::string_view> KeyName(std::string_view content) {
  const std::string_view trimmed = Trim(content);
  if (!trimmed.empty() && trimmed.front() == ';') return std::nullopt;
  const std::size_t equals = content.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(content.substr(0, equals));
}

// Index of the header line of [section], or lines.size().
std::size_t FindSection(const std::vector<Line>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i].content);
    if (name && EqualsNoCase(*name, Trim(section))) return i;
  }
  return lines.size();
}

// Index of the entry |key| in the section whose header is at |header|, and in |end| one past
// the section's last line.
std::size_t FindKey(const std::vector<Line>& lines, std::size_t header, std::string_view key,
                    std::size_t& end) {
  std::size_t found = lines.size();
  for (end = header + 1; end < lines.size() && !SectionName(lines[end].content); ++end) {
    const auto name = KeyName(lines[end].content);
    if (found == lines.size() && name && EqualsNoCase(*name, Trim(key))) found = end;
  }
  return found;
}

// A "key=value" line with another value. Only the value changes: the key's spelling, the blanks
// around the value and the quotes it was in stay, so that writing the old value back gives back
// the old line.
std::string ReplaceValue(std::string_view content, std::string_view value) {
  const std::size_t equals = content.find('=');
  std::string_view rest = content.substr(equals + 1);
  const std::string_view core = Trim(rest);
  const std::size_t lead = core.empty() ? rest.size() : core.data() - rest.data();
  const std::size_t trail = core.empty() ? 0 : rest.size() - lead - core.size();
  const bool quoted = core.size() >= 2 && (core.front() == '"' || core.front() == '\'') &&
                      core.back() == core.front();
  std::string line(content.substr(0, equals + 1 + lead));
  if (quoted) line += core.front();
  line += value;
  if (quoted) line += core.back();
  line += rest.substr(rest.size() - trail);
  return line;
}

std::string_view NewlineOf(const std::vector<Line>& lines) {
  return lines.empty() || lines.front().ending.empty() ? "\r\n" : lines.front().ending;
}

// SetEntry's work; an existing entry is left alone and another one added unless |replace|.
std::string PutEntry(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value, bool replace) {
  const std::vector<Line> lines = SplitLines(text);
  const std::string entry = std::string(Trim(key)) + "=" + std::string(value);
  // New lines end like the line they follow: a "\n" after a lone "\r" would join it into one
  // line end.
  const auto newlineAfter = [&](std::size_t at) {
    return std::string(lines[at].ending.empty() ? NewlineOf(lines) : lines[at].ending);
  };
  // Every line as it was, with |added| (ending in |newline|) inserted after line |at|.
  const auto insertAfter = [&](std::size_t at, const std::string& added,
                               const std::string& newline) {
    std::string result;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      result += lines[i].content;
      if (i == at && lines[i].ending.empty()) {
        // After the file's unterminated last line: that line gets an end and the new text goes
        // without one, so that the file still ends without one.
        result += newline;
        result += added.substr(0, added.size() - newline.size());
        return result;
      }
      result += lines[i].ending;
      if (i == at) result += added;
    }
    return result;
  };

  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) {
    const std::string sectionLine = "[" + std::string(Trim(section)) + "]";
    if (lines.empty()) return sectionLine + "\r\n" + entry + "\r\n";
    // A new section goes at the end, after one blank line of its own, so that taking it away
    // again leaves whatever blank lines the file had.
    const std::string newline = newlineAfter(lines.size() - 1);
    return insertAfter(lines.size() - 1, newline + sectionLine + newline + entry + newline,
                       newline);
  }
  std::size_t end = 0;
  const std::size_t found = FindKey(lines, header, key, end);
  if (replace && found != lines.size()) {
    std::string result;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      result += i == found ? ReplaceValue(lines[i].content, value) : std::string(lines[i].content);
      result += lines[i].ending;
    }
    return result;
  }
  std::size_t last = header;
  for (std::size_t i = header + 1; i < end; ++i) {
    if (!Trim(lines[i].content).empty()) last = i;
  }
  const std::string newline = newlineAfter(last);
  return insertAfter(last, entry + newline, newline);
}

}  // namespace

std::string SetEntry(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
  return PutEntry(text, section, key, value, true);
}

std::string AddEntry(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
  return PutEntry(text, section, key, value, false);
}

std::optional<std::string> GetEntry(std::string_view text, std::string_view section,
                                    std::string_view key) {
  const std::vector<Line> lines = SplitLines(text);
  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) return std::nullopt;
  std::size_t end = 0;
  const std::size_t found = FindKey(lines, header, key, end);
  if (found == lines.size()) return std::nullopt;
  const std::string_view content = lines[found].content;
  std::string_view value = Trim(content.substr(content.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

bool HasSection(std::string_view text, std::string_view section) {
  const std::vector<Line> lines = SplitLines(text);
  return FindSection(lines, section) != lines.size();
}

std::string RemoveEntry(std::string_view text, std::string_view section, std::string_view key,
                        bool dropEmptySection) {
  const std::vector<Line> lines = SplitLines(text);
  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) return std::string(text);
  std::size_t end = 0;
  const std::size_t found = FindKey(lines, header, key, end);
  std::vector<bool> keep(lines.size(), true);
  if (found != lines.size()) keep[found] = false;
  bool empty = true;
  for (std::size_t i = header + 1; i < end; ++i) {
    if (keep[i] && !Trim(lines[i].content).empty()) empty = false;
  }
  // A section SetEntry added goes with the one blank line it put before it; one already left
  // empty by an earlier removal goes too.
  if (dropEmptySection && empty) {
    for (std::size_t i = header; i < end; ++i)
      keep[i] = false;
    if (header > 0 && Trim(lines[header - 1].content).empty()) keep[header - 1] = false;
  }
  std::size_t lastKept = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (keep[i]) lastKept = i;
  }
  // Taking away the file's unterminated last line leaves the line before it as the last, and
  // that line loses the end SetEntry gave it.
  const bool unterminated = !lines.empty() && lines.back().ending.empty();
  std::string result;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!keep[i]) continue;
    result += lines[i].content;
    if (!(unterminated && i == lastKept && !keep.back())) result += lines[i].ending;
  }
  return result;
}

}  // namespace vu::platform::ini
