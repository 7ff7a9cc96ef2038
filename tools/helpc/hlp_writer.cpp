#include "tools/helpc/hlp_writer.h"

#include <algorithm>
#include <cstring>

namespace vu::helpc {

namespace {

constexpr unsigned kNoPage = 0xFFFF;
constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr unsigned kBlockData = kTopicBlockSize - kTopicBlockHeader;

// The viewer's variable-length numbers: the low bit says whether the long form follows.
void PutCompressedSignedLong(Bytes& out, std::int32_t value) {
  if (value >= -0x4000 && value < 0x4000) {
    Put16(out, static_cast<unsigned>(value + 0x4000) * 2);
  } else {
    Put32(out, static_cast<std::uint32_t>(value + 0x40000000) * 2 + 1);
  }
}
void PutCompressedUnsignedShort(Bytes& out, unsigned value) {
  if (value >= 0x8000) throw std::length_error("paragraph longer than 32767 characters");
  if (value < 0x80) {
    Put8(out, value * 2);
  } else {
    Put16(out, value * 2 + 1);
  }
}
void PutCompressedSignedShort(Bytes& out, int value) {
  if (value >= -0x40 && value < 0x40) {
    Put8(out, static_cast<unsigned>(value + 0x40) * 2);
  } else {
    Put16(out, static_cast<unsigned>(value + 0x4000) * 2 + 1);
  }
}

// Paragraph attribute bits and the values used (in the viewer's paragraph units).
constexpr unsigned kSpaceAbove = 0x0002;
constexpr unsigned kSpaceBelow = 0x0004;
constexpr unsigned kLeftIndent = 0x0010;
constexpr unsigned kFirstLineIndent = 0x0040;
constexpr unsigned kTabStops = 0x0200;
constexpr int kBulletIndent = 30;

struct Record {
  std::uint8_t type = kRecordDisplay;
  Bytes data1;  // LinkData1 (for a topic header, filled in once positions are known)
  Bytes data2;  // LinkData2: the text
  std::size_t topic = 0;
  std::uint32_t pos = 0;     // TOPICPOS: block * 0x4000 + offset in the block
  std::uint32_t offset = 0;  // TOPICOFFSET: block * 0x8000 + characters before it in the block
  std::size_t start = 0;     // where it starts in the block data, headers left out
  std::size_t size() const { return kTopicLinkHeader + data1.size() + data2.size(); }
};

// A display paragraph: formatting commands in LinkData1, the text between them in LinkData2.
class ParagraphBuilder {
 public:
  // `attributes` holds a value for each attribute bit, in bit order; `tabs` the tab stops.
  ParagraphBuilder(unsigned bits, std::vector<int> attributes, std::vector<unsigned> tabs = {}) {
    Put8(format_, 0);
    Put8(format_, 0x80);
    Put16(format_, 0);
    Put16(format_, bits | (tabs.empty() ? 0 : kTabStops));
    for (int value : attributes)
      PutCompressedSignedShort(format_, value);
    if (!tabs.empty()) {
      PutCompressedSignedShort(format_, static_cast<int>(tabs.size()));
      for (unsigned tab : tabs)
        PutCompressedUnsignedShort(format_, tab);  // left-aligned stops
    }
  }

  void Font(unsigned font) {
    if (font == font_) return;
    Command(0x80);
    Put16(format_, font);
    font_ = font;
  }
  void Text(std::string_view text) { PutString(text_, text); }
  void Tab() { Command(0x83); }
  void JumpStart(std::int32_t hash) {
    Command(0xE3);
    Put32(format_, static_cast<std::uint32_t>(hash));
  }
  void JumpEnd() { Command(0x89); }

  Record Finish() {
    Command(0x82);
    Command(0xFF);
    Record record;
    PutCompressedSignedLong(record.data1, static_cast<std::int32_t>(format_.size()));
    PutCompressedUnsignedShort(record.data1, static_cast<unsigned>(text_.size()));
    record.data1.insert(record.data1.end(), format_.begin(), format_.end());
    record.data2 = std::move(text_);
    return record;
  }

 private:
  // Each command ends the text before it with a NUL.
  void Command(unsigned code) {
    Put8(text_, 0);
    Put8(format_, code);
  }

  Bytes format_;
  Bytes text_;
  unsigned font_ = ~0u;
};

Record Heading(const Topic& topic) {
  ParagraphBuilder builder(kSpaceBelow, {8});
  builder.Font(kFontHeading);
  builder.Text(topic.title);
  return builder.Finish();
}

Record Body(const Paragraph& paragraph) {
  ParagraphBuilder builder =
      paragraph.bullet
          ? ParagraphBuilder(kSpaceAbove | kLeftIndent | kFirstLineIndent,
                             {4, kBulletIndent, -kBulletIndent * 2 / 3}, {unsigned{kBulletIndent}})
          : ParagraphBuilder(kSpaceAbove, {12});
  builder.Font(kFontText);
  if (paragraph.bullet) {
    builder.Text("\x95");
    builder.Tab();
  }
  for (const Run& run : paragraph.runs) {
    builder.Font(run.bold ? kFontBold : kFontText);
    if (!run.link.empty()) builder.JumpStart(ContextHash(run.link));
    builder.Text(run.text);
    if (!run.link.empty()) builder.JumpEnd();
  }
  return builder.Finish();
}

Bytes TopicHeaderData() {
  return Bytes(28, 0);
}

// Lays the records out in topic blocks and fixes their positions and the topic headers.
void Layout(std::vector<Record>& records, const std::vector<std::size_t>& headers) {
  std::size_t start = 0;
  std::size_t block = ~std::size_t{0};
  std::uint32_t characters = 0;
  for (Record& record : records) {
    record.start = start;
    const std::size_t thisBlock = start / kBlockData;
    if (thisBlock != block) {
      block = thisBlock;
      characters = 0;
    }
    record.pos =
        static_cast<std::uint32_t>(block * 0x4000 + kTopicBlockHeader + start % kBlockData);
    record.offset = static_cast<std::uint32_t>(block * 0x8000 + characters);
    if (record.type != kRecordTopicHeader)
      characters += static_cast<std::uint32_t>(record.data2.size());
    start += record.size();
  }

  for (std::size_t h = 0; h < headers.size(); ++h) {
    Record& header = records[headers[h]];
    const std::size_t end = h + 1 < headers.size() ? headers[h + 1] : records.size();
    std::uint32_t size = 0;
    for (std::size_t i = headers[h] + 1; i < end; ++i)
      size += static_cast<std::uint32_t>(records[i].size());
    const bool real = h + 1 < headers.size();  // the last header closes the list
    // The topic's size, its browse neighbours, its number, its non-scrolling and scrolling
    // regions (all of a topic scrolls) and the next topic.
    Bytes& data = header.data1;
    Set32(data, 0, size);
    Set32(data, 4, real && h > 0 ? records[headers[h - 1]].offset : kNone);
    Set32(data, 8, h + 2 < headers.size() ? records[headers[h + 1]].offset : kNone);
    Set32(data, 12, static_cast<std::uint32_t>(h));
    Set32(data, 16, kNone);
    Set32(data, 20, real && headers[h] + 1 < end ? records[headers[h] + 1].pos : kNone);
    Set32(data, 24, real ? records[headers[h + 1]].pos : kNone);
  }
}

Bytes TopicFile(const std::vector<Record>& records) {
  Bytes stream;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Record& record = records[i];
    Put32(stream, static_cast<std::uint32_t>(record.size()));
    Put32(stream, static_cast<std::uint32_t>(record.data2.size()));
    Put32(stream, i > 0 ? records[i - 1].pos : kNone);
    Put32(stream, i + 1 < records.size() ? records[i + 1].pos : kNone);
    Put32(stream, static_cast<std::uint32_t>(kTopicLinkHeader + record.data1.size()));
    Put8(stream, record.type);
    stream.insert(stream.end(), record.data1.begin(), record.data1.end());
    stream.insert(stream.end(), record.data2.begin(), record.data2.end());
  }

  // Whole blocks: the viewer reads every block at its full size.
  const std::size_t blocks =
      std::max<std::size_t>(1, (stream.size() + kBlockData - 1) / kBlockData);
  stream.resize(blocks * kBlockData, 0);
  Bytes file;
  std::size_t next = 0;
  std::uint32_t lastLink = kNone;
  std::uint32_t lastHeader = 0;
  for (std::size_t block = 0; block < blocks; ++block) {
    std::uint32_t first = kNone;
    std::uint32_t last = lastLink;
    std::uint32_t lastTopic = lastHeader;
    while (next < records.size() && records[next].start / kBlockData == block) {
      if (first == kNone) first = records[next].pos;
      last = records[next].pos;
      if (records[next].type == kRecordTopicHeader) lastTopic = records[next].pos;
      ++next;
    }
    Put32(file, lastLink);
    Put32(file, first);
    Put32(file, lastHeader);
    lastLink = last;
    lastHeader = lastTopic;
    const auto data = stream.begin() + static_cast<std::ptrdiff_t>(block * kBlockData);
    file.insert(file.end(), data, data + kBlockData);
  }
  return file;
}

Bytes SystemFile(const Document& doc, std::uint32_t contents, std::uint32_t generated) {
  Bytes file;
  Put16(file, kSystemMagic);
  Put16(file, 33);  // minor version of Windows Help 4 files
  Put16(file, 1);
  Put32(file, generated);
  Put16(file, 0);  // topic text uncompressed, in 4 KB blocks
  auto record = [&](unsigned type, const Bytes& data) {
    Put16(file, type);
    Put16(file, static_cast<unsigned>(data.size()));
    file.insert(file.end(), data.begin(), data.end());
  };
  Bytes title;
  PutStringZ(title, doc.title);
  record(1, title);
  Bytes start;
  Put32(start, contents);
  record(3, start);
  return file;
}

Bytes FontFile() {
  struct Descriptor {
    unsigned attributes;
    unsigned halfPoints;
    std::uint8_t red, green, blue;
  };
  // Plain and bold body text, and the topic heading: 9 and 12 point Arial.
  constexpr Descriptor kFonts[] = {{0, 18, 0, 0, 0}, {1, 18, 0, 0, 0}, {1, 24, 0, 0, 128}};
  constexpr unsigned kFaceLength = 32;
  Bytes file;
  Put16(file, 1);
  Put16(file, std::size(kFonts));
  Put16(file, 8);
  Put16(file, 8 + kFaceLength);
  Bytes face(kFaceLength, 0);
  std::memcpy(face.data(), "Arial", 5);
  file.insert(file.end(), face.begin(), face.end());
  for (const Descriptor& font : kFonts) {
    Put8(file, font.attributes);
    Put8(file, font.halfPoints);
    Put8(file, 3);  // swiss family
    Put16(file, 0);
    Put8(file, font.red);
    Put8(file, font.green);
    Put8(file, font.blue);
    Put8(file, 0);
    Put8(file, 0);
    Put8(file, 0);
  }
  return file;
}

// Compares as the index orders: letters without case.
int FoldedCompare(std::string_view a, std::string_view b) {
  auto lower = [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
  };
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return lower(a[i]) < lower(b[i]) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The keyword index: |KWBTREE (each keyword once, with how many topics it names and where
// their list starts in |KWDATA), |KWDATA (the topics' offsets) and |KWMAP (the first keyword
// of each leaf page, for the viewer's scrolling list). Keywords that differ only in case are
// one entry, spelt as first met.
void AddKeywordIndex(const Document& doc, const std::vector<std::uint32_t>& offsets,
                     std::vector<std::pair<std::string, Bytes>>& files) {
  std::vector<std::pair<std::string, std::vector<std::uint32_t>>> keywords;
  for (std::size_t t = 0; t < doc.topics.size(); ++t) {
    for (const std::string& keyword : doc.topics[t].keywords) {
      auto same = std::find_if(keywords.begin(), keywords.end(), [&](const auto& entry) {
        return FoldedCompare(entry.first, keyword) == 0;
      });
      if (same == keywords.end()) {
        keywords.push_back({keyword, {}});
        same = keywords.end() - 1;
      }
      if (std::find(same->second.begin(), same->second.end(), offsets[t]) == same->second.end())
        same->second.push_back(offsets[t]);
    }
  }
  if (keywords.empty()) return;
  std::stable_sort(keywords.begin(), keywords.end(),
                   [](const auto& a, const auto& b) { return KeywordLess(a.first, b.first); });

  Bytes data;
  std::vector<BTreeEntry> entries;
  for (const auto& [keyword, topics] : keywords) {
    BTreeEntry entry;
    PutStringZ(entry.key, keyword);
    entry.leaf = entry.key;
    Put16(entry.leaf, static_cast<unsigned>(topics.size()));
    Put32(entry.leaf, static_cast<std::uint32_t>(data.size()));
    for (std::uint32_t offset : topics)
      Put32(data, offset);
    entries.push_back(std::move(entry));
  }
  std::vector<LeafStart> leaves;
  Bytes tree = BuildBTree(entries, 0x0002, 0x0800, "i24", &leaves);
  Bytes map;
  Put16(map, static_cast<unsigned>(leaves.size()));
  for (const LeafStart& leaf : leaves) {
    Put32(map, leaf.first);
    Put16(map, leaf.page);
  }
  files.emplace_back("|KWBTREE", std::move(tree));
  files.emplace_back("|KWDATA", std::move(data));
  files.emplace_back("|KWMAP", std::move(map));
}

// The numeric context map: the numbers programs pass to the viewer, with their topics.
Bytes ContextMap(const Document& doc, const std::vector<std::uint32_t>& offsets) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> mapped;
  for (std::size_t t = 0; t < doc.topics.size(); ++t) {
    if (doc.topics[t].mapNumber != 0) mapped.emplace_back(doc.topics[t].mapNumber, offsets[t]);
  }
  std::sort(mapped.begin(), mapped.end());
  if (mapped.size() > 0xFFFF) throw std::length_error("more than 65535 mapped topics");
  Bytes map;
  Put16(map, static_cast<unsigned>(mapped.size()));
  for (const auto& [number, offset] : mapped) {
    Put32(map, number);
    Put32(map, offset);
  }
  return map;
}

}  // namespace

bool KeywordLess(std::string_view a, std::string_view b) {
  const int folded = FoldedCompare(a, b);
  return folded != 0 ? folded < 0 : a < b;
}

Bytes BuildBTree(const std::vector<BTreeEntry>& entries, unsigned flags, unsigned pageSize,
                 std::string_view structure, std::vector<LeafStart>* leaves) {
  std::vector<Bytes> pages;
  struct Child {
    unsigned page;
    const Bytes* key;
  };
  std::vector<Child> children;

  // Leaves, each filled as far as it goes.
  std::size_t i = 0;
  do {
    Bytes page(8, 0);
    unsigned count = 0;
    const Bytes* firstKey = i < entries.size() ? &entries[i].key : nullptr;
    while (i < entries.size() && page.size() + entries[i].leaf.size() <= pageSize) {
      page.insert(page.end(), entries[i].leaf.begin(), entries[i].leaf.end());
      ++count;
      ++i;
    }
    if (count == 0 && i < entries.size())
      throw std::length_error("B+ tree entry larger than a page");
    const auto number = static_cast<unsigned>(pages.size());
    if (leaves != nullptr) leaves->push_back({number, static_cast<std::uint32_t>(i - count)});
    Set16(page, 0, static_cast<unsigned>(pageSize - page.size()));
    Set16(page, 2, count);
    Set16(page, 4, number == 0 ? kNoPage : number - 1);
    Set16(page, 6, i < entries.size() ? number + 1 : kNoPage);
    page.resize(pageSize, 0);
    pages.push_back(std::move(page));
    children.push_back({number, firstKey});
  } while (i < entries.size());

  // Index levels until one page holds them all: the first child, then key and page pairs.
  unsigned levels = 1;
  while (children.size() > 1) {
    ++levels;
    std::vector<Child> parents;
    std::size_t c = 0;
    while (c < children.size()) {
      Bytes page(6, 0);
      Set16(page, 4, children[c].page);
      const Bytes* firstKey = children[c].key;
      ++c;
      unsigned count = 0;
      while (c < children.size() && page.size() + children[c].key->size() + 2 <= pageSize) {
        page.insert(page.end(), children[c].key->begin(), children[c].key->end());
        Put16(page, children[c].page);
        ++count;
        ++c;
      }
      Set16(page, 0, static_cast<unsigned>(pageSize - page.size()));
      Set16(page, 2, count);
      page.resize(pageSize, 0);
      parents.push_back({static_cast<unsigned>(pages.size()), firstKey});
      pages.push_back(std::move(page));
    }
    children = std::move(parents);
  }

  Bytes tree;
  Put16(tree, kBTreeMagic);
  Put16(tree, flags);
  Put16(tree, pageSize);
  Bytes name(16, 0);
  std::copy(structure.begin(), structure.end(), name.begin());
  tree.insert(tree.end(), name.begin(), name.end());
  Put16(tree, 0);
  Put16(tree, static_cast<unsigned>(pages.size() - levels));  // page splits
  Put16(tree, children.front().page);                         // root
  Put16(tree, 0xFFFF);
  Put16(tree, static_cast<unsigned>(pages.size()));
  Put16(tree, levels);
  Put32(tree, static_cast<std::uint32_t>(entries.size()));
  for (const Bytes& page : pages)
    tree.insert(tree.end(), page.begin(), page.end());
  return tree;
}

Bytes BuildFileSystem(std::vector<std::pair<std::string, Bytes>> files) {
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
    return std::strcmp(a.first.c_str(), b.first.c_str()) < 0;
  });
  constexpr std::uint32_t kHeader = 16;
  constexpr std::uint32_t kFileHeader = 9;
  std::vector<BTreeEntry> directory;
  std::uint32_t offset = kHeader;
  for (const auto& [name, data] : files) {
    BTreeEntry entry;
    PutStringZ(entry.key, name);
    entry.leaf = entry.key;
    Put32(entry.leaf, offset);
    directory.push_back(std::move(entry));
    offset += kFileHeader + static_cast<std::uint32_t>(data.size());
  }
  const Bytes tree = BuildBTree(directory, 0x0402, 0x0400, "z4");
  const std::uint32_t directoryOffset = offset;

  Bytes out;
  auto internal = [&](const Bytes& data) {
    Put32(out, kFileHeader + static_cast<std::uint32_t>(data.size()));  // reserved, header included
    Put32(out, static_cast<std::uint32_t>(data.size()));
    Put8(out, 4);
    out.insert(out.end(), data.begin(), data.end());
  };
  Put32(out, kFileMagic);
  Put32(out, directoryOffset);
  Put32(out, kNone);  // no free blocks
  Put32(out, directoryOffset + kFileHeader + static_cast<std::uint32_t>(tree.size()));
  for (const auto& file : files)
    internal(file.second);
  internal(tree);
  return out;
}

Bytes WriteHelpFile(const Document& doc, std::uint32_t generated) {
  std::vector<Record> records;
  std::vector<std::size_t> headers;
  for (std::size_t t = 0; t < doc.topics.size(); ++t) {
    const Topic& topic = doc.topics[t];
    Record header;
    header.type = kRecordTopicHeader;
    header.data1 = TopicHeaderData();
    PutString(header.data2, topic.title);
    header.topic = t;
    headers.push_back(records.size());
    records.push_back(std::move(header));
    records.push_back(Heading(topic));
    for (const Paragraph& paragraph : topic.paragraphs)
      records.push_back(Body(paragraph));
  }
  // An empty closing topic header: the last topic's "next topic" points at it.
  Record closing;
  closing.type = kRecordTopicHeader;
  closing.data1 = TopicHeaderData();
  headers.push_back(records.size());
  records.push_back(std::move(closing));
  Layout(records, headers);

  std::vector<std::uint32_t> offsets(doc.topics.size());
  std::uint32_t contents = 0;
  for (std::size_t h = 0; h + 1 < headers.size(); ++h) {
    const Record& header = records[headers[h]];
    offsets[header.topic] = header.offset;
    if (doc.topics[header.topic].id == doc.contents) contents = header.offset;
  }

  std::vector<std::size_t> order(doc.topics.size());
  for (std::size_t t = 0; t < order.size(); ++t)
    order[t] = t;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return ContextHash(doc.topics[a].id) < ContextHash(doc.topics[b].id);
  });
  std::vector<BTreeEntry> contexts;
  for (std::size_t t : order) {
    BTreeEntry entry;
    Put32(entry.key, static_cast<std::uint32_t>(ContextHash(doc.topics[t].id)));
    entry.leaf = entry.key;
    Put32(entry.leaf, offsets[t]);
    contexts.push_back(std::move(entry));
  }
  std::vector<BTreeEntry> titles;  // topics are laid out in order, so offsets ascend
  for (std::size_t t = 0; t < doc.topics.size(); ++t) {
    BTreeEntry entry;
    Put32(entry.key, offsets[t]);
    entry.leaf = entry.key;
    PutStringZ(entry.leaf, doc.topics[t].title);
    titles.push_back(std::move(entry));
  }

  std::vector<std::pair<std::string, Bytes>> files;
  files.emplace_back("|SYSTEM", SystemFile(doc, contents, generated));
  files.emplace_back("|FONT", FontFile());
  files.emplace_back("|TOPIC", TopicFile(records));
  files.emplace_back("|CONTEXT", BuildBTree(contexts, 0x0002, 0x0800, "L4"));
  files.emplace_back("|TTLBTREE", BuildBTree(titles, 0x0002, 0x0800, "Lz"));
  files.emplace_back("|CTXOMAP", ContextMap(doc, offsets));
  AddKeywordIndex(doc, offsets, files);
  return BuildFileSystem(std::move(files));
}

std::string WriteContentsFile(const Document& doc, std::string_view helpFileName) {
  std::string out = ":Base " + std::string(helpFileName) + "\r\n:Title " + doc.title + "\r\n";
  std::vector<std::string> books;
  for (const Topic& topic : doc.topics) {
    if (std::find(books.begin(), books.end(), topic.book) == books.end())
      books.push_back(topic.book);
  }
  for (const std::string& book : books) {
    if (!book.empty()) out += "1 " + book + "\r\n";
    for (const Topic& topic : doc.topics) {
      if (topic.book != book) continue;
      out += (book.empty() ? "1 " : "2 ") + topic.title + "=" + topic.id + "\r\n";
    }
  }
  return out;
}

}  // namespace vu::helpc
