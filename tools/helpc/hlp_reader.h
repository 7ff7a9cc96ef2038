#pragma once
// Reads back what the writer makes: the file system, |SYSTEM, |FONT, |TOPIC, |CONTEXT and
// |TTLBTREE, |CTXOMAP and the keyword index. Throws FormatError on anything malformed instead of
// reading past an end.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "tools/helpc/bytes.h"

namespace vu::helpc {

struct ReadRun {
  std::string text;
  unsigned font = 0;
  std::optional<std::int32_t> jump;  // the target's context hash, for a hotspot
};

struct ReadParagraph {
  unsigned bits = 0;  // paragraph attribute bits
  std::vector<ReadRun> runs;
  std::string Text() const;
};

struct ReadTopic {
  std::string title;
  std::uint32_t pos = 0;     // TOPICPOS of its header
  std::uint32_t offset = 0;  // TOPICOFFSET of its header
  std::vector<ReadParagraph> paragraphs;
};

struct ReadFont {
  std::string face;
  unsigned halfPoints = 0;
  bool bold = false;
};

struct HelpFileView {
  std::vector<std::pair<std::string, std::uint32_t>> files;  // directory: name, offset
  unsigned minor = 0;
  unsigned flags = 0;
  std::uint32_t generated = 0;
  std::string title;
  std::optional<std::uint32_t> contents;
  std::vector<ReadFont> fonts;
  std::vector<ReadTopic> topics;                                 // the closing header left out
  std::vector<std::pair<std::int32_t, std::uint32_t>> contexts;  // hash, TOPICOFFSET
  std::vector<std::pair<std::uint32_t, std::string>> titles;     // TOPICOFFSET, title
  std::vector<std::pair<std::uint32_t, std::uint32_t>> map;      // context number, TOPICOFFSET
  // The keyword index in its order: each keyword with the TOPICOFFSETs it leads to.
  std::vector<std::pair<std::string, std::vector<std::uint32_t>>> keywords;
  // The topic a context hash leads to, looked up the way the viewer does (through the tree).
  std::optional<std::uint32_t> FindContext(std::int32_t hash) const;
  const ReadTopic* TopicAt(std::uint32_t offset) const;

  Bytes contextTree;  // the |CONTEXT file, kept for FindContext
};

HelpFileView ReadHelpFile(std::span<const std::uint8_t> file);

// Calls `entry` once for every leaf entry of a B+ tree file, in key order, with a reader
// positioned at the entry and bounded by its page; `entry` reads the entry.
void WalkBTree(std::span<const std::uint8_t> tree, const std::string& what,
               const std::function<void(Reader&)>& entry);

}  // namespace vu::helpc
