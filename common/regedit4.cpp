#include "common/regedit4.h"

#include <memory>

#include "platform/registry_path.h"
#include "platform/text.h"

namespace vu::common {

using vu::platform::Cp1252ToUtf8;
using vu::platform::EqualsNoCase;
using vu::platform::IsValidUtf8;
using vu::platform::NormalizeKeyPath;
using vu::platform::ParseFullKeyName;
using vu::platform::RootKey;
using vu::platform::RootName;
using vu::platform::Status;
using vu::platform::Trim;

namespace {

constexpr std::string_view kHeader = "REGEDIT4";

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to |maxDigits| hexadecimal digits, the whole of |s|.
bool ParseHexNumber(std::string_view s, std::size_t maxDigits, std::uint32_t& value) {
  if (s.empty() || s.size() > maxDigits) return false;
  value = 0;
  for (char c : s) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return true;
}

bool IsTextType(std::uint32_t type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

class Parser {
 public:
  Parser(std::string_view text, std::vector<RegFileEdit>& edits, RegFileProblem& problem)
      : edits_(edits), problem_(problem) {
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      start = end + 1;
    }
  }

  bool Run() {
    if (Trim(lines_.front()) != kHeader) return Fail(1, "the file does not start with REGEDIT4");
    for (next_ = 1; next_ < lines_.size();) {
      const int number = static_cast<int>(next_) + 1;
      const std::string_view line = Trim(lines_[next_++]);
      if (line.empty() || line.front() == ';') continue;
      const bool ok = line.front() == '[' ? KeyLine(number, line)
                      : line.front() == '"' || line.front() == '@'
                          ? ValueLine(number, line)
                          : Fail(number, "not a key, value or comment line");
      if (!ok) return false;
    }
    return true;
  }

 private:
  bool Fail(int line, std::string message) {
    problem_ = {line, std::move(message)};
    return false;
  }

  bool KeyLine(int number, std::string_view line) {
    if (line.back() != ']') return Fail(number, "a key line must end with ']'");
    std::string_view name = line.substr(1, line.size() - 2);
    const bool remove = !name.empty() && name.front() == '-';
    if (remove) name.remove_prefix(1);
    RegFileEdit edit;
    edit.line = number;
    edit.kind = remove ? RegFileEdit::Kind::kDeleteKey : RegFileEdit::Kind::kCreateKey;
    if (!ParseFullKeyName(name, edit.root, edit.path)) {
      const std::string_view root = name.substr(0, name.find('\\'));
      return Fail(number, "unknown root key \"" + std::string(root) + "\"");
    }
    if (remove && edit.path.empty()) return Fail(number, "a root key cannot be deleted");
    inKey_ = !remove;
    root_ = edit.root;
    path_ = edit.path;
    edits_.push_back(std::move(edit));
    return true;
  }

  bool ValueLine(int number, std::string_view line) {
    if (!inKey_) return Fail(number, "a value line outside a key");
    RegFileEdit edit;
    edit.line = number;
    edit.root = root_;
    edit.path = path_;
    std::size_t pos = 1;
    if (line.front() == '"' && !Quoted(number, line, pos, edit.name)) return false;
    const std::string_view rest = Trim(line.substr(pos));
    if (rest.empty() || rest.front() != '=')
      return Fail(number, "'=' expected after the value name");
    if (!ValueData(number, Trim(rest.substr(1)), edit)) return false;
    edits_.push_back(std::move(edit));
    return true;
  }

  // A string in double quotes from line[pos - 1], with \\ and \" escapes; pos ends after it.
  bool Quoted(int number, std::string_view line, std::size_t& pos, std::string& out) {
    for (; pos < line.size(); ++pos) {
      const char c = line[pos];
      if (c == '"') {
        ++pos;
        return true;
      }
      if (c == '\\') {
        if (pos + 1 >= line.size() || (line[pos + 1] != '\\' && line[pos + 1] != '"')) {
          return Fail(number, "a backslash in a string must be written \\\\");
        }
        ++pos;
      }
      out += line[pos];
    }
    return Fail(number, "a string has no closing '\"'");
  }

  bool ValueData(int number, std::string_view data, RegFileEdit& edit) {
    edit.kind = RegFileEdit::Kind::kSetValue;
    if (data == "-") {
      edit.kind = RegFileEdit::Kind::kDeleteValue;
      return true;
    }
    if (!data.empty() && data.front() == '"') {
      std::size_t pos = 1;
      if (!Quoted(number, data, pos, edit.data)) return false;
      if (pos != data.size()) return Fail(number, "unexpected text after the closing '\"'");
      // regedit stores a string with its terminating NUL.
      edit.type = REG_SZ;
      edit.data += '\0';
      return true;
    }
    if (StartsWithNoCase(data, "dword:")) {
      std::uint32_t value = 0;
      if (!ParseHexNumber(data.substr(6), 8, value)) {
        return Fail(number, "dword: needs 1 to 8 hexadecimal digits");
      }
      edit.type = REG_DWORD;
      for (int i = 0; i < 4; ++i)
        edit.data += static_cast<char>((value >> (8 * i)) & 0xFF);
      return true;
    }
    if (StartsWithNoCase(data, "hex:")) {
      edit.type = REG_BINARY;
      return HexList(number, data.substr(4), edit.data);
    }
    if (StartsWithNoCase(data, "hex(")) {
      const std::size_t close = data.find("):");
      if (close == std::string_view::npos ||
          !ParseHexNumber(data.substr(4, close - 4), 8, edit.type)) {
        return Fail(number, "hex(N): needs a hexadecimal type number");
      }
      if (!HexList(number, data.substr(close + 2), edit.data)) return false;
      // Text stored as bytes by Windows' regedit is in the ANSI code page.
      if (IsTextType(edit.type) && !IsValidUtf8(edit.data)) edit.data = Cp1252ToUtf8(edit.data);
      return true;
    }
    return Fail(number, "unknown value data (expected \"text\", dword:, hex:, hex(N): or -)");
  }

  // Comma-separated bytes; a trailing backslash continues the list on the next line.
  bool HexList(int number, std::string_view chunk, std::string& bytes) {
    for (;;) {
      chunk = Trim(chunk);
      const bool continued = !chunk.empty() && chunk.back() == '\\';
      if (continued) chunk = Trim(chunk.substr(0, chunk.size() - 1));
      std::size_t start = 0;
      while (start < chunk.size()) {
        std::size_t comma = chunk.find(',', start);
        const bool last = comma == std::string_view::npos;
        if (last) comma = chunk.size();
        std::uint32_t byte = 0;
        if (!ParseHexNumber(Trim(chunk.substr(start, comma - start)), 2, byte)) {
          return Fail(number,
                      "a hex list must be bytes of 1 or 2 hexadecimal digits between commas");
        }
        bytes += static_cast<char>(byte);
        if (!last && comma + 1 == chunk.size() && !continued) {
          return Fail(number, "a hex list ends with a comma");
        }
        start = comma + 1;
      }
      if (!continued) return true;
      if (next_ >= lines_.size())
        return Fail(number, "a hex list continues past the end of the file");
      number = static_cast<int>(next_) + 1;
      chunk = lines_[next_++];
    }
  }

  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
  std::vector<RegFileEdit>& edits_;
  RegFileProblem& problem_;
  bool inKey_ = false;
  RootKey root_ = 0;
  std::string path_;
};

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

// A REG_SZ that reads back unchanged from "text": one terminating NUL, no other NUL, no line
// break, valid UTF-8. Any other string is written as hex(1): bytes.
bool WritableAsString(std::string_view data) {
  if (data.empty() || data.back() != '\0') return false;
  const std::string_view text = data.substr(0, data.size() - 1);
  return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos &&
         IsValidUtf8(text);
}

void AppendHex(std::string& out, std::uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789abcdef";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
    out += kDigits[(value >> shift) & 15];
}

}  // namespace

void AppendRegValue(std::string& out, std::string_view name, std::uint32_t type,
                    std::string_view data) {
  const std::size_t lineStart = out.size();
  if (name.empty()) {
    out += '@';
  } else {
    AppendQuoted(out, name);
  }
  out += '=';
  if (type == REG_SZ && WritableAsString(data)) {
    AppendQuoted(out, data.substr(0, data.size() - 1));
  } else if (type == REG_DWORD && data.size() == 4) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
      value = value << 8 | static_cast<unsigned char>(data[i]);
    out += "dword:";
    AppendHex(out, value, 8);
  } else {
    if (type == REG_BINARY) {
      out += "hex:";
    } else {
      out += "hex(";
      std::string number;
      AppendHex(number, type, 8);
      out += number.substr(std::min(number.find_first_not_of('0'), number.size() - 1));
      out += "):";
    }
    // Lines of at most 80 characters, continued by a backslash, as regedit writes them.
    std::size_t column = out.size() - lineStart;
    for (std::size_t i = 0; i < data.size(); ++i) {
      const std::size_t width = i + 1 < data.size() ? 3 : 2;
      if (column + width > 77) {
        out += "\\\r\n  ";
        column = 2;
      }
      AppendHex(out, static_cast<unsigned char>(data[i]), 2);
      if (width == 3) out += ',';
      column += width;
    }
  }
  out += "\r\n";
}

namespace {

Status ExportKey(vu::platform::Registry& registry, RootKey root, const std::string& path,
                 std::string& out) {
  std::unique_ptr<vu::platform::RegistryKey> key;
  Status status = registry.OpenKey(root, path, key);
  if (status != ERROR_SUCCESS) return status;
  out += '[' + RegKeyName(root, path) + "]\r\n";
  std::string name, data;
  std::uint32_t type = 0;
  for (std::uint32_t i = 0; (status = key->EnumValue(i, name, type, data)) == ERROR_SUCCESS; ++i) {
    AppendRegValue(out, name, type, data);
  }
  if (status != ERROR_NO_MORE_ITEMS) return status;
  out += "\r\n";
  std::vector<std::string> children;
  for (std::uint32_t i = 0; (status = key->EnumKey(i, name)) == ERROR_SUCCESS; ++i) {
    children.push_back(name);
  }
  if (status != ERROR_NO_MORE_ITEMS) return status;
  key.reset();
  for (const std::string& child : children) {
    status = ExportKey(registry, root, path.empty() ? child : path + '\\' + child, out);
    if (status != ERROR_SUCCESS) return status;
  }
  return ERROR_SUCCESS;
}

}  // namespace

std::string RegKeyName(RootKey root, std::string_view path) {
  std::string name(RootName(root));
  if (!path.empty()) name += '\\' + std::string(path);
  return name;
}

bool ParseRegFile(std::string_view bytes, std::vector<RegFileEdit>& edits,
                  RegFileProblem& problem) {
  edits.clear();
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  const std::string text = IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
  if (!Parser(text, edits, problem).Run()) {
    edits.clear();
    return false;
  }
  return true;
}

bool ApplyRegFile(vu::platform::Registry& registry, const std::vector<RegFileEdit>& edits,
                  RegFileProblem& problem) {
  std::unique_ptr<vu::platform::RegistryKey> current;
  for (const RegFileEdit& edit : edits) {
    const std::string keyName = RegKeyName(edit.root, edit.path);
    Status status = ERROR_SUCCESS;
    std::string what;
    switch (edit.kind) {
      case RegFileEdit::Kind::kCreateKey:
        current.reset();
        status = registry.CreateKey(edit.root, edit.path, current);
        what = "cannot create key " + keyName;
        break;
      case RegFileEdit::Kind::kDeleteKey: {
        current.reset();
        std::unique_ptr<vu::platform::RegistryKey> root;
        status = registry.OpenKey(edit.root, "", root);
        if (status == ERROR_SUCCESS) status = root->DeleteSubKey(edit.path);
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
        what = "cannot delete key " + keyName;
        break;
      }
      case RegFileEdit::Kind::kSetValue:
      case RegFileEdit::Kind::kDeleteValue:
        if (!current) {
          status = ERROR_INVALID_HANDLE;
        } else if (edit.kind == RegFileEdit::Kind::kSetValue) {
          status = current->SetValue(edit.name, edit.type, edit.data);
        } else {
          status = current->DeleteValue(edit.name);
          if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
        }
        what = "cannot change value \"" + edit.name + "\" of " + keyName;
        break;
    }
    if (status != ERROR_SUCCESS) {
      problem = {edit.line, what + " (error " + std::to_string(status) + ")"};
      return false;
    }
  }
  return true;
}

Status ExportRegFile(vu::platform::Registry& registry, const std::vector<RegBranch>& branches,
                     std::string& text) {
  std::string out(kHeader);
  out += "\r\n\r\n";
  for (const RegBranch& branch : branches) {
    const Status status = ExportKey(registry, branch.root, NormalizeKeyPath(branch.path), out);
    if (status != ERROR_SUCCESS) return status;
  }
  text = std::move(out);
  return ERROR_SUCCESS;
}

}  // namespace vu::common
