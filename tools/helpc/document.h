#pragma once
// The help text as the compiler sees it: topics of paragraphs of runs, all text already in the
// Windows-1252 code page that the help viewer reads.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vu::helpc {

struct Run {
  std::string text;
  bool bold = false;
  std::string link;  // the id of the topic the run jumps to; empty for plain text
  int line = 0;      // source line, for errors about the link
};

struct Paragraph {
  bool bullet = false;
  std::vector<Run> runs;
};

struct Topic {
  std::string id;
  std::string title;
  std::string book;  // the contents-file book the topic is listed under; empty at the top
  int line = 0;
  std::vector<Paragraph> paragraphs;
  std::vector<std::string> keywords;  // what the viewer's Index tab lists for the topic
  std::uint32_t mapNumber = 0;        // the number a program asks for it by; 0 for none
};

struct Document {
  std::string title;     // the help window's caption
  std::string contents;  // id of the topic the viewer opens first
  std::vector<Topic> topics;
};

// A fault in the help source, with the line it was found on.
class SourceError : public std::runtime_error {
 public:
  SourceError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

// The viewer's hash of a topic id (letters in either case, digits, '.' and '_').
std::int32_t ContextHash(const std::string& id);

// Whether the id uses only characters the hash tells apart.
bool IsValidContextId(const std::string& id);

}  // namespace vu::helpc
