#include "tools/helpc/markup.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "platform/text.h"
#include "tools/helpc/codepage.h"

namespace vu::helpc {

namespace {

// A line of the help text may still carry the carriage return of its line break.
constexpr std::string_view kLineBlanks = " \t\r";

std::string_view Trim(std::string_view text) {
  return vu::platform::Trim(text, kLineBlanks);
}

// The characters a backslash stands for literally; any other backslash is itself.
bool IsSpecial(char c) {
  return c == '*' || c == '[' || c == ']';
}

std::string Encoded(std::string_view text, int line) {
  std::string bad;
  std::optional<std::string> encoded = ToWindows1252(text, &bad);
  if (!encoded) {
    throw SourceError(line, bad == "invalid UTF-8"
                                ? "invalid UTF-8"
                                : "character " + bad + " is not in the Windows-1252 code page");
  }
  return *encoded;
}

// One paragraph's source text, line by line, turned into runs.
class InlineParser {
 public:
  void AddLine(std::string_view text, int line) {
    if (!text_.empty()) text_.push_back({' ', line});
    for (char c : text)
      text_.push_back({c, line});
  }
  bool empty() const { return text_.empty(); }

  std::vector<Run> Finish() {
    std::vector<Run> runs;
    bool bold = false;
    int boldLine = 0;
    std::size_t i = 0;
    Run current;
    auto flush = [&] {
      if (!current.text.empty()) runs.push_back(current);
      current = Run{};
      current.bold = bold;
    };
    while (i < text_.size()) {
      const auto [c, line] = text_[i];
      if (c == '\\' && i + 1 < text_.size() && IsSpecial(text_[i + 1].c)) {
        if (current.text.empty()) current.line = line;
        current.text += text_[i + 1].c;
        i += 2;
      } else if (c == '*') {
        flush();
        bold = !bold;
        boldLine = line;
        current.bold = bold;
        ++i;
      } else if (c == ']') {
        throw SourceError(line, std::string("unexpected '") + c + "'");
      } else if (c == '[') {
        flush();
        i = Link(i, bold, runs);
      } else {
        if (current.text.empty()) current.line = line;
        current.text += c;
        ++i;
      }
    }
    if (bold) throw SourceError(boldLine, "'*' opens bold text that is never closed");
    flush();
    text_.clear();
    return runs;
  }

 private:
  struct Char {
    char c;
    int line;
  };

  // [text](id) starting at `open`; returns the index after it.
  std::size_t Link(std::size_t open, bool bold, std::vector<Run>& runs) {
    const int line = text_[open].line;
    Run run;
    run.bold = bold;
    run.line = line;
    std::size_t i = open + 1;
    for (; i < text_.size() && text_[i].c != ']'; ++i) {
      const char c = text_[i].c;
      if (c == '[' || c == '*')
        throw SourceError(text_[i].line, "'" + std::string(1, c) + "' inside a link");
      if (c == '\\' && i + 1 < text_.size() && IsSpecial(text_[i + 1].c)) ++i;
      run.text += text_[i].c;
    }
    if (i >= text_.size()) throw SourceError(line, "'[' opens a link that is never closed");
    if (run.text.empty()) throw SourceError(line, "link without text");
    ++i;
    if (i >= text_.size() || text_[i].c != '(')
      throw SourceError(line, "link without '(topic_id)'");
    const std::size_t close = [&] {
      for (std::size_t k = i + 1; k < text_.size(); ++k) {
        if (text_[k].c == ')') return k;
      }
      return text_.size();
    }();
    if (close >= text_.size()) throw SourceError(line, "link target without ')'");
    for (std::size_t k = i + 1; k < close; ++k)
      run.link += text_[k].c;
    if (!IsValidContextId(run.link)) {
      throw SourceError(line, "link target '" + run.link + "' is not a topic id");
    }
    runs.push_back(run);
    return close + 1;
  }

  std::vector<Char> text_;
};

class Parser {
 public:
  Document Parse(std::string_view source) {
    // Editors on Windows like to start UTF-8 files with a byte order mark.
    if (source.starts_with("\xEF\xBB\xBF")) source.remove_prefix(3);
    int line = 0;
    std::size_t start = 0;
    while (start <= source.size()) {
      std::size_t end = source.find('\n', start);
      if (end == std::string_view::npos) end = source.size();
      ++line;
      Line(source.substr(start, end - start), line);
      start = end + 1;
    }
    EndParagraph();
    Check(line);
    return std::move(doc_);
  }

 private:
  void Line(std::string_view raw, int line) {
    const std::string encoded = Encoded(raw, line);
    const std::string_view text = Trim(encoded);
    if (text.empty()) {
      EndParagraph();
      return;
    }
    if (text[0] == '#') return;
    if (text[0] == '!') {
      EndParagraph();
      Directive(text, line);
      return;
    }
    if (text.starts_with("==")) {
      EndParagraph();
      StartTopic(Trim(text.substr(2)), line);
      return;
    }
    if (doc_.topics.empty()) throw SourceError(line, "text before the first topic");
    if (text.starts_with("- ") || text == "-") {
      EndParagraph();
      bullet_ = true;
      paragraph_.AddLine(Trim(text.substr(1)), line);
      return;
    }
    paragraph_.AddLine(text, line);
  }

  void Directive(std::string_view text, int line) {
    const std::size_t space = text.find_first_of(kLineBlanks);
    const std::string_view name = text.substr(0, space);
    const std::string_view value =
        space == std::string_view::npos ? std::string_view() : Trim(text.substr(space));
    if (name == "!title") {
      if (value.empty()) throw SourceError(line, "!title without a title");
      doc_.title = value;
    } else if (name == "!contents") {
      if (!IsValidContextId(std::string(value))) {
        throw SourceError(line, "!contents needs a topic id");
      }
      doc_.contents = value;
      contentsLine_ = line;
    } else if (name == "!book") {
      book_ = value;
    } else if (name == "!keywords") {
      Keywords(value, line);
    } else if (name == "!map") {
      Map(value, line);
    } else {
      throw SourceError(line, "unknown directive '" + std::string(name) + "'");
    }
  }

  Topic& CurrentTopic(std::string_view directive, int line) {
    if (doc_.topics.empty()) {
      throw SourceError(line, std::string(directive) + " before the first topic");
    }
    return doc_.topics.back();
  }

  // Index entries, separated by semicolons; a word listed twice for one topic counts once.
  void Keywords(std::string_view value, int line) {
    Topic& topic = CurrentTopic("!keywords", line);
    if (value.empty()) throw SourceError(line, "!keywords without a keyword");
    std::size_t start = 0;
    while (start <= value.size()) {
      std::size_t end = value.find(';', start);
      if (end == std::string_view::npos) end = value.size();
      const std::string keyword(Trim(value.substr(start, end - start)));
      if (keyword.empty()) throw SourceError(line, "empty keyword");
      // The viewer's index keys are at most 255 characters.
      if (keyword.size() > 255) throw SourceError(line, "keyword longer than 255 characters");
      if (std::find(topic.keywords.begin(), topic.keywords.end(), keyword) ==
          topic.keywords.end()) {
        topic.keywords.push_back(keyword);
      }
      start = end + 1;
    }
  }

  void Map(std::string_view value, int line) {
    Topic& topic = CurrentTopic("!map", line);
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
        number == 0) {
      throw SourceError(line, "!map needs a number from 1 to 4294967295");
    }
    if (topic.mapNumber != 0) throw SourceError(line, "topic '" + topic.id + "' already mapped");
    if (const auto seen = mapped_.find(number); seen != mapped_.end()) {
      throw SourceError(line, "map number " + std::to_string(number) + " already used by '" +
                                  doc_.topics[seen->second].id + "'");
    }
    mapped_[number] = doc_.topics.size() - 1;
    topic.mapNumber = number;
  }

  void StartTopic(std::string_view text, int line) {
    const std::size_t space = text.find_first_of(kLineBlanks);
    Topic topic;
    topic.id = text.substr(0, space);
    if (topic.id.empty()) throw SourceError(line, "topic without an id");
    if (!IsValidContextId(topic.id)) {
      throw SourceError(line,
                        "topic id '" + topic.id + "' may hold only letters, digits, '.' and '_'");
    }
    if (space != std::string_view::npos) topic.title = Trim(text.substr(space));
    if (topic.title.empty()) throw SourceError(line, "topic '" + topic.id + "' without a title");
    const std::int32_t hash = ContextHash(topic.id);
    if (const auto seen = hashes_.find(hash); seen != hashes_.end()) {
      const Topic& other = doc_.topics[seen->second];
      throw SourceError(
          line,
          other.id == topic.id
              ? "topic '" + topic.id + "' already defined on line " + std::to_string(other.line)
              : "topic id '" + topic.id + "' has the same hash as '" + other.id + "'");
    }
    hashes_[hash] = doc_.topics.size();
    topic.book = book_;
    topic.line = line;
    doc_.topics.push_back(std::move(topic));
  }

  void EndParagraph() {
    if (paragraph_.empty()) return;
    Paragraph paragraph;
    paragraph.bullet = bullet_;
    paragraph.runs = paragraph_.Finish();
    doc_.topics.back().paragraphs.push_back(std::move(paragraph));
    bullet_ = false;
  }

  // Links and the contents topic can name topics further down, so they are checked last.
  void Check(int lastLine) {
    if (doc_.title.empty()) throw SourceError(lastLine, "no !title");
    if (doc_.topics.empty()) throw SourceError(lastLine, "no topics");
    if (doc_.contents.empty()) throw SourceError(lastLine, "no !contents");
    if (!hashes_.contains(ContextHash(doc_.contents))) {
      throw SourceError(contentsLine_, "!contents names unknown topic '" + doc_.contents + "'");
    }
    for (const Topic& topic : doc_.topics) {
      for (const Paragraph& paragraph : topic.paragraphs) {
        for (const Run& run : paragraph.runs) {
          if (run.link.empty()) continue;
          const auto target = hashes_.find(ContextHash(run.link));
          if (target == hashes_.end() || doc_.topics[target->second].id != run.link) {
            throw SourceError(run.line, "link to unknown topic '" + run.link + "'");
          }
        }
      }
    }
  }

  Document doc_;
  std::map<std::int32_t, std::size_t> hashes_;
  std::map<std::uint32_t, std::size_t> mapped_;
  std::string book_;
  int contentsLine_ = 0;
  bool bullet_ = false;
  InlineParser paragraph_;
};

}  // namespace

std::int32_t ContextHash(const std::string& id) {
  std::uint32_t hash = 0;
  for (char c : id) {
    std::uint32_t x = 0;
    if (c >= 'A' && c <= 'Z') x = c - 'A' + 17;
    if (c >= 'a' && c <= 'z') x = c - 'a' + 17;
    if (c >= '1' && c <= '9') x = c - '0';
    if (c == '0') x = 10;
    if (c == '.') x = 12;
    if (c == '_') x = 13;
    hash = hash * 43 + x;
  }
  return static_cast<std::int32_t>(hash);
}

bool IsValidContextId(const std::string& id) {
  if (id.empty()) return false;
  for (char c : id) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '.' || c == '_';
    if (!ok) return false;
  }
  return true;
}

Document ParseMarkup(std::string_view source) {
  return Parser().Parse(source);
}

}  // namespace vu::helpc
