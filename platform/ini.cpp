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

std::string_view NewlineOf(const std::vector<Line>& lines) {
  return lines.empty() || lines.front().ending.empty() ? "\r\n" : lines.front().ending;
}

}  // namespace

std::string SetEntry(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
  const std::vector<Line> lines = SplitLines(text);
  const std::string newline(NewlineOf(lines));
  std::vector<std::string> out;
  out.reserve(lines.size() + 3);
  for (const Line& line : lines)
    out.push_back(std::string(line.content) + std::string(line.ending));
  // A line that gets a successor needs an end of its own.
  const auto terminate = [&](std::size_t index) {
    if (lines[index].ending.empty()) out[index] += newline;
  };
  const std::string entry = std::string(Trim(key)) + "=" + std::string(value) + newline;

  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) {
    std::string added;
    if (!lines.empty()) {
      terminate(lines.size() - 1);
      if (!Trim(lines.back().content).empty()) added += newline;
    }
    added += "[" + std::string(Trim(section)) + "]" + newline + entry;
    out.push_back(std::move(added));
  } else {
    std::size_t end = 0;
    const std::size_t found = FindKey(lines, header, key, end);
    if (found != lines.size()) {
      // The key keeps the spelling the file gives it.
      const std::string_view content = lines[found].content;
      out[found] = std::string(Trim(content.substr(0, content.find('=')))) + "=" +
                   std::string(value) + std::string(lines[found].ending);
    } else {
      std::size_t last = header;
      for (std::size_t i = header + 1; i < end; ++i) {
        if (!Trim(lines[i].content).empty()) last = i;
      }
      terminate(last);
      out.insert(out.begin() + static_cast<std::ptrdiff_t>(last) + 1, entry);
    }
  }

  std::string result;
  for (const std::string& piece : out)
    result += piece;
  return result;
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
  if (found == lines.size()) return std::string(text);
  std::vector<bool> keep(lines.size(), true);
  keep[found] = false;
  bool empty = true;
  for (std::size_t i = header + 1; i < end; ++i) {
    if (keep[i] && !Trim(lines[i].content).empty()) empty = false;
  }
  if (dropEmptySection && empty) {
    for (std::size_t i = header; i < end; ++i)
      keep[i] = false;
    if (header > 0 && Trim(lines[header - 1].content).empty()) keep[header - 1] = false;
  }
  std::string result;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (keep[i]) result += std::string(lines[i].content) + std::string(lines[i].ending);
  }
  return result;
}

}  // namespace vu::platform::ini
