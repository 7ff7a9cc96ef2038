#include "optimizer/engine/backup_journal.h"

#include <array>
#include <set>

namespace vu::optimizer {
namespace {

constexpr std::string_view kNewline = "\r\n";
// Longer than any header line can be: "#4294967295 registry ffffffffffffffff ffffffff".
constexpr std::size_t kMaxHeader = 64;

const char* KindName(FileRecord::Kind kind) {
  switch (kind) {
    case FileRecord::Kind::kFile:
      return "file";
    case FileRecord::Kind::kFolder:
      return "folder";
    case FileRecord::Kind::kAttributes:
      return "attributes";
    case FileRecord::Kind::kEntry:
      return "entry";
    case FileRecord::Kind::kNewFile:
      return "newfile";
    case FileRecord::Kind::kNewFolder:
      return "newfolder";
  }
  return "";
}

std::vector<std::string_view> SplitTabs(std::string_view line, std::size_t maxFields) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < maxFields) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) break;
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return fields;
}

bool ParseNumber(std::string_view text, std::uint32_t& value, int base = 10,
                 std::size_t maxDigits = 9) {
  if (text.empty() || text.size() > maxDigits) return false;
  std::uint64_t result = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) return false;
    result = result * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  if (result > 0xFFFFFFFFu) return false;
  value = static_cast<std::uint32_t>(result);
  return true;
}

std::string Hex(std::uint32_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value % 16]);
    value /= 16;
  } while (value != 0);
  return text;
}

const char* JournalKindName(JournalRecord::Kind kind) {
  switch (kind) {
    case JournalRecord::Kind::kRegistry:
      return "registry";
    case JournalRecord::Kind::kFile:
      return "file";
    case JournalRecord::Kind::kVoid:
      return "void";
  }
  return "";
}

std::optional<JournalRecord::Kind> JournalKind(std::string_view name) {
  for (JournalRecord::Kind kind :
       {JournalRecord::Kind::kRegistry, JournalRecord::Kind::kFile, JournalRecord::Kind::kVoid}) {
    if (name == JournalKindName(kind)) return kind;
  }
  return std::nullopt;
}

std::string HeaderLine(std::uint32_t number, JournalRecord::Kind kind, std::uint32_t length,
                       std::uint32_t crc) {
  return "#" + std::to_string(number) + ' ' + JournalKindName(kind) + ' ' + Hex(length) + ' ' +
         Hex(crc);
}

struct Header {
  std::uint32_t number = 0;
  JournalRecord::Kind kind = JournalRecord::Kind::kFile;
  std::uint32_t length = 0;
  std::uint32_t crc = 0;
};

// "#<number> <kind> <length> <crc>", nothing else.
std::optional<Header> ParseHeader(std::string_view line) {
  const std::string_view whole = line;
  if (line.empty() || line.front() != '#') return std::nullopt;
  line.remove_prefix(1);
  std::array<std::string_view, 4> fields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::size_t space = i + 1 < fields.size() ? line.find(' ') : line.size();
    if (space == std::string_view::npos) return std::nullopt;
    fields[i] = line.substr(0, space);
    line.remove_prefix(std::min(line.size(), space + 1));
  }
  Header header;
  const auto kind = JournalKind(fields[1]);
  if (!kind || !ParseNumber(fields[0], header.number) || header.number == 0 ||
      !ParseNumber(fields[2], header.length, 16, 8) || !ParseNumber(fields[3], header.crc, 16, 8)) {
    return std::nullopt;
  }
  header.kind = *kind;
  // One spelling only ("#01" or "0c" are not written): a record read is the record written.
  if (HeaderLine(header.number, header.kind, header.length, header.crc) != whole) {
    return std::nullopt;
  }
  return header;
}

}  // namespace

bool IsStorable(const FileRecord& record) {
  const auto clean = [](std::string_view s, bool tabAllowed) {
    return s.find_first_of(tabAllowed ? "\r\n" : "\t\r\n") == std::string_view::npos;
  };
  return clean(record.path, false) && clean(record.copy, false) && clean(record.section, false) &&
         clean(record.key, false) && clean(record.value.value_or(""), true);
}

std::string FormatFileRecords(const std::vector<FileRecord>& records) {
  std::string text;
  for (const FileRecord& r : records) {
    text += KindName(r.kind);
    text += '\t';
    switch (r.kind) {
      case FileRecord::Kind::kFile:
        text += std::to_string(r.attributes) + '\t' + r.path + '\t' + r.copy;
        break;
      case FileRecord::Kind::kFolder:
      case FileRecord::Kind::kAttributes:
        text += std::to_string(r.attributes) + '\t' + r.path;
        break;
      case FileRecord::Kind::kEntry:
        text += r.path + '\t' + r.section + '\t' + r.key + '\t';
        // "=value" for a value that was there, "-" for no entry, "--" for no section either.
        text += r.value ? "=" + *r.value : r.sectionExisted ? "-" : "--";
        break;
      case FileRecord::Kind::kNewFile:
      case FileRecord::Kind::kNewFolder:
        text += r.path;
        break;
    }
    text += kNewline;
  }
  return text;
}

bool ParseFileRecords(std::string_view text, std::vector<FileRecord>& records, int& badLine) {
  records.clear();
  int number = 0;
  while (!text.empty()) {
    ++number;
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == ';') continue;
    const std::vector<std::string_view> head = SplitTabs(line, 2);
    FileRecord r;
    bool ok = head.size() == 2;
    const std::string_view kind = head.front();
    if (ok && (kind == "file" || kind == "folder" || kind == "attributes")) {
      const auto f = SplitTabs(head[1], kind == "file" ? 3 : 2);
      ok = f.size() == (kind == "file" ? 3u : 2u) && ParseNumber(f[0], r.attributes);
      if (ok) {
        r.kind = kind == "file"     ? FileRecord::Kind::kFile
                 : kind == "folder" ? FileRecord::Kind::kFolder
                                    : FileRecord::Kind::kAttributes;
        r.path = f[1];
        if (kind == "file") r.copy = f[2];
      }
    } else if (ok && kind == "entry") {
      const auto f = SplitTabs(head[1], 4);
      ok = f.size() == 4 && (f[3] == "-" || f[3] == "--" || f[3].substr(0, 1) == "=");
      if (ok) {
        r.kind = FileRecord::Kind::kEntry;
        r.path = f[0];
        r.section = f[1];
        r.key = f[2];
        if (f[3].front() == '=') r.value = std::string(f[3].substr(1));
        r.sectionExisted = f[3] != "--";
      }
    } else if (ok && (kind == "newfile" || kind == "newfolder")) {
      r.kind = kind == "newfile" ? FileRecord::Kind::kNewFile : FileRecord::Kind::kNewFolder;
      r.path = head[1];
    } else {
      ok = false;
    }
    if (!ok || r.path.empty()) {
      badLine = number;
      return false;
    }
    records.push_back(std::move(r));
  }
  return true;
}

std::uint32_t Crc32(std::string_view bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k)
        c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char c : bytes)
    crc = table[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string EncodeJournalRecord(std::uint32_t number, JournalRecord::Kind kind,
                                std::string_view body) {
  std::string text = HeaderLine(number, kind, static_cast<std::uint32_t>(body.size()), Crc32(body));
  text += kNewline;
  text += body;
  text += kNewline;
  return text;
}

JournalReading ReadJournal(std::string_view bytes) {
  JournalReading reading;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::string_view rest = bytes.substr(at);
    const std::size_t eol = rest.substr(0, kMaxHeader).find(kNewline);
    std::optional<Header> header;
    if (eol != std::string_view::npos) header = ParseHeader(rest.substr(0, eol));
    const std::size_t bodyAt = eol + kNewline.size();
    const bool whole = header && rest.size() - bodyAt >= std::size_t{header->length} + 2 &&
                       rest.substr(bodyAt + header->length, 2) == kNewline &&
                       Crc32(rest.substr(bodyAt, header->length)) == header->crc &&
                       header->number == reading.records.size() + 1;
    if (!whole) {
      // Only the last record can be torn: the bytes left are its start, or nothing but the
      // zeros a file system may leave after a crash.
      const bool endsFile = eol == std::string_view::npos ? rest.size() < kMaxHeader
                            : header ? rest.size() - bodyAt <= std::size_t{header->length} + 2
                                     : rest.size() == bodyAt;
      if (endsFile || rest.find_first_not_of('\0') == std::string_view::npos) {
        reading.torn = true;
      } else {
        reading.damagedAt = at;
      }
      break;
    }
    JournalRecord record;
    record.number = header->number;
    record.kind = header->kind;
    record.body = std::string(rest.substr(bodyAt, header->length));
    reading.records.push_back(std::move(record));
    at += bodyAt + header->length + kNewline.size();
  }
  return reading;
}

std::vector<JournalRecord> LiveRecords(const std::vector<JournalRecord>& records) {
  std::set<std::uint32_t> voided;
  for (const JournalRecord& r : records) {
    std::uint32_t number = 0;
    if (r.kind == JournalRecord::Kind::kVoid && ParseNumber(r.body, number)) voided.insert(number);
  }
  std::vector<JournalRecord> live;
  for (const JournalRecord& r : records) {
    if (r.kind != JournalRecord::Kind::kVoid && !voided.count(r.number)) live.push_back(r);
  }
  return live;
}

}  // namespace vu::optimizer
