#include "tools/helpc/hlp_reader.h"

#include <algorithm>
#include <set>

#include "tools/helpc/hlp_writer.h"

namespace vu::helpc {

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr unsigned kBlockData = kTopicBlockSize - kTopicBlockHeader;
constexpr std::size_t kBTreeHeader = 38;

struct BTreeHeader {
  unsigned pageSize = 0;
  unsigned root = 0;
  unsigned pages = 0;
  unsigned levels = 0;
  std::uint32_t entries = 0;
  std::span<const std::uint8_t> data;  // the pages

  std::span<const std::uint8_t> Page(unsigned number, const Reader& context) const {
    if (number >= pages) context.Fail("page " + std::to_string(number) + " out of range");
    return data.subspan(static_cast<std::size_t>(number) * pageSize, pageSize);
  }
};

BTreeHeader ReadBTreeHeader(std::span<const std::uint8_t> tree, const std::string& what) {
  Reader in(tree, what);
  if (in.U16() != kBTreeMagic) in.Fail("not a B+ tree");
  BTreeHeader header;
  in.U16();  // flags
  header.pageSize = in.U16();
  in.Take(16);  // structure
  in.U16();
  in.U16();  // page splits
  header.root = in.U16();
  in.U16();
  header.pages = in.U16();
  header.levels = in.U16();
  header.entries = in.U32();
  if (header.pageSize < 8) in.Fail("page size too small");
  if (header.levels == 0 || header.levels > 16) in.Fail("bad number of levels");
  header.data = in.Take(static_cast<std::size_t>(header.pages) * header.pageSize);
  return header;
}

// Reads the compressed numbers of a paragraph's format data.
std::int32_t CompressedLong(Reader& in) {
  const std::uint16_t low = in.U16();
  if ((low & 1) == 0) return (static_cast<std::int32_t>(low) - 0x8000) / 2;
  const std::uint32_t value = low | (static_cast<std::uint32_t>(in.U16()) << 16);
  return static_cast<std::int32_t>((static_cast<std::int64_t>(value) - 0x80000000LL) >> 1);
}
unsigned CompressedUnsignedShort(Reader& in) {
  const std::uint8_t low = in.U8();
  if ((low & 1) == 0) return low / 2;
  return (low | (in.U8() << 8)) / 2;
}
int CompressedSignedShort(Reader& in) {
  const std::uint8_t low = in.U8();
  if ((low & 1) == 0) return (low - 0x80) / 2;
  return ((low | (in.U8() << 8)) - 0x8000) >> 1;
}

struct InternalFile {
  std::span<const std::uint8_t> data;
};

std::span<const std::uint8_t> InternalFileAt(std::span<const std::uint8_t> file,
                                             std::uint32_t offset, const std::string& name) {
  Reader in(file, name);
  in.Seek(offset);
  const std::uint32_t reserved = in.U32();
  const std::uint32_t used = in.U32();
  in.U8();
  if (static_cast<std::uint64_t>(used) + 9 > reserved) in.Fail("used space beyond reserved space");
  return in.Take(used);
}

ReadParagraph Paragraph(Reader& format, std::span<const std::uint8_t> text, unsigned length) {
  ReadParagraph paragraph;
  CompressedLong(format);  // size of the format data
  if (CompressedUnsignedShort(format) != length) format.Fail("text length mismatch");
  format.U8();
  format.U8();
  format.U16();
  paragraph.bits = format.U16();
  constexpr unsigned kKnown =
      0x0002 | 0x0004 | 0x0008 | 0x0010 | 0x0020 | 0x0040 | 0x0200 | 0x0C00 | 0x1000;
  if (paragraph.bits & ~kKnown) format.Fail("unsupported paragraph attributes");
  for (unsigned bit = 0x0002; bit <= 0x0040; bit <<= 1) {
    if (paragraph.bits & bit) CompressedSignedShort(format);
  }
  if (paragraph.bits & 0x0200) {
    const int tabs = CompressedSignedShort(format);
    for (int i = 0; i < tabs; ++i) {
      if (CompressedUnsignedShort(format) & 0x4000) CompressedUnsignedShort(format);
    }
  }

  Reader strings(text, "|TOPIC text");
  ReadRun run;
  auto start = [&](unsigned font, std::optional<std::int32_t> jump) {
    if (!run.text.empty()) paragraph.runs.push_back(run);
    run.text.clear();
    run.font = font;
    run.jump = jump;
  };
  for (;;) {
    run.text += strings.StringZ();
    const std::uint8_t command = format.U8();
    switch (command) {
      case 0xFF:
        start(run.font, std::nullopt);
        if (!strings.AtEnd()) strings.Fail("text after the end of its paragraph");
        return paragraph;
      case 0x80:
        start(format.U16(), run.jump);
        break;
      case 0x81:
        run.text += '\n';
        break;
      case 0x82:
        break;
      case 0x83:
        run.text += '\t';
        break;
      case 0x89:
        if (!run.jump) format.Fail("hotspot end without a hotspot");
        start(run.font, std::nullopt);
        break;
      case 0xE2:
      case 0xE3:
      case 0xE6:
      case 0xE7:
        start(run.font, static_cast<std::int32_t>(format.U32()));
        break;
      default:
        format.Fail("unsupported formatting command " + std::to_string(command));
    }
  }
}

std::vector<ReadTopic> Topics(std::span<const std::uint8_t> file) {
  // The block data without the block headers, as one stream.
  Bytes stream;
  for (std::size_t at = 0; at < file.size(); at += kTopicBlockSize) {
    if (file.size() - at < kTopicBlockHeader) throw FormatError("|TOPIC: truncated block header");
    const std::size_t size =
        std::min<std::size_t>(kBlockData, file.size() - at - kTopicBlockHeader);
    stream.insert(stream.end(), file.begin() + at + kTopicBlockHeader,
                  file.begin() + at + kTopicBlockHeader + size);
  }

  std::vector<ReadTopic> topics;
  std::set<std::uint32_t> seen;
  std::uint32_t pos = kTopicBlockHeader;
  std::size_t block = ~std::size_t{0};
  std::uint32_t characters = 0;
  while (pos != kNone) {
    Reader in(stream, "|TOPIC");
    if (pos < kTopicBlockHeader) in.Fail("bad topic position");
    if (!seen.insert(pos).second) in.Fail("records form a loop");
    const std::size_t thisBlock = (pos - kTopicBlockHeader) >> 14;
    const std::size_t within = (pos - kTopicBlockHeader) & 0x3FFF;
    if (within >= kBlockData) in.Fail("topic position inside a block header");
    in.Seek(std::min(stream.size(), thisBlock * kBlockData + within));
    const std::uint32_t size = in.U32();
    const std::uint32_t length2 = in.U32();
    in.U32();  // previous record
    const std::uint32_t next = in.U32();
    const std::uint32_t length1 = in.U32();
    const std::uint8_t type = in.U8();
    if (length1 < kTopicLinkHeader || length1 > size) in.Fail("bad record sizes");
    if (static_cast<std::uint64_t>(length1) + length2 != size)
      in.Fail("compressed text is not supported");
    Reader format(in.Take(length1 - kTopicLinkHeader), "|TOPIC format");
    const std::span<const std::uint8_t> text = in.Take(length2);
    if (thisBlock != block) {
      block = thisBlock;
      characters = 0;
    }
    const auto offset = static_cast<std::uint32_t>(thisBlock * 0x8000 + characters);
    if (type == kRecordTopicHeader) {
      ReadTopic topic;
      const auto end = std::find(text.begin(), text.end(), 0);
      topic.title.assign(text.begin(), end);
      topic.pos = pos;
      topic.offset = offset;
      topics.push_back(std::move(topic));
    } else if (type == kRecordDisplay) {
      if (topics.empty()) in.Fail("text before the first topic");
      topics.back().paragraphs.push_back(Paragraph(format, text, length2));
      characters += length2;
    } else {
      in.Fail("unsupported record type " + std::to_string(type));
    }
    pos = next;
  }
  // Each block header names the first record that starts in it and the last one before it.
  std::uint32_t last = kNone;
  std::size_t record = 0;
  std::vector<std::uint32_t> positions(seen.begin(), seen.end());
  for (std::size_t at = 0, block = 0; at < file.size(); at += kTopicBlockSize, ++block) {
    Reader header(file.subspan(at, kTopicBlockHeader), "|TOPIC block header");
    std::uint32_t first = kNone;
    const std::uint32_t before = last;
    while (record < positions.size() && ((positions[record] - kTopicBlockHeader) >> 14) == block) {
      if (first == kNone) first = positions[record];
      last = positions[record++];
    }
    if (header.U32() != before || header.U32() != first) header.Fail("does not match the records");
  }

  // The closing header that ends the list of topics.
  if (!topics.empty() && topics.back().title.empty() && topics.back().paragraphs.empty())
    topics.pop_back();
  return topics;
}

// The keyword index is optional; when |KWBTREE is there, |KWDATA and |KWMAP must be too.
template <typename Find>
void ReadKeywords(HelpFileView& view, const Find& find) {
  const bool present = std::any_of(view.files.begin(), view.files.end(),
                                   [](const auto& file) { return file.first == "|KWBTREE"; });
  if (!present) return;
  const auto data = find("|KWDATA");
  const auto tree = find("|KWBTREE");
  WalkBTree(tree, "|KWBTREE", [&](Reader& in) {
    std::string keyword = in.StringZ();
    const unsigned count = in.U16();
    Reader topics(data, "|KWDATA");
    topics.Seek(in.U32());
    std::vector<std::uint32_t> offsets;
    for (unsigned i = 0; i < count; ++i)
      offsets.push_back(topics.U32());
    view.keywords.emplace_back(std::move(keyword), std::move(offsets));
  });
  // |KWMAP: one entry per leaf page, in order, each with the number of keywords before it.
  const BTreeHeader header = ReadBTreeHeader(tree, "|KWBTREE");
  Reader map(find("|KWMAP"), "|KWMAP");
  const unsigned leaves = map.U16();
  if (leaves == 0 || leaves > header.pages) map.Fail("bad number of leaf pages");
  std::uint32_t previous = 0;
  for (unsigned i = 0; i < leaves; ++i) {
    const std::uint32_t first = map.U32();
    const unsigned page = map.U16();
    if (page >= header.pages || first >= view.keywords.size() ||
        (i == 0 ? first != 0 : first <= previous)) {
      map.Fail("entry out of order or range");
    }
    previous = first;
  }
  if (!map.AtEnd()) map.Fail("size does not match its entries");
}

}  // namespace

void WalkBTree(std::span<const std::uint8_t> tree, const std::string& what,
               const std::function<void(Reader&)>& entry) {
  const BTreeHeader header = ReadBTreeHeader(tree, what);
  Reader context(tree, what);
  unsigned page = header.root;
  for (unsigned level = header.levels; level > 1; --level) {
    Reader index(header.Page(page, context), what);
    index.Seek(4);
    page = index.U16();
  }
  std::uint32_t total = 0;
  for (unsigned visited = 0; page != 0xFFFF; ++visited) {
    if (visited >= header.pages) context.Fail("leaf pages form a loop");
    Reader leaf(header.Page(page, context), what);
    leaf.U16();
    const unsigned count = leaf.U16();
    leaf.U16();
    page = leaf.U16();
    for (unsigned i = 0; i < count; ++i)
      entry(leaf);
    total += count;
  }
  if (total != header.entries) context.Fail("entry count does not match the tree's header");
}

std::string ReadParagraph::Text() const {
  std::string text;
  for (const ReadRun& run : runs)
    text += run.text;
  return text;
}

std::optional<std::uint32_t> HelpFileView::FindContext(std::int32_t hash) const {
  const BTreeHeader header = ReadBTreeHeader(contextTree, "|CONTEXT");
  Reader context(contextTree, "|CONTEXT");
  unsigned page = header.root;
  for (unsigned level = header.levels; level > 1; --level) {
    Reader index(header.Page(page, context), "|CONTEXT");
    index.U16();
    const unsigned count = index.U16();
    page = index.U16();
    for (unsigned i = 0; i < count; ++i) {
      const auto key = static_cast<std::int32_t>(index.U32());
      const unsigned child = index.U16();
      if (key > hash) break;
      page = child;
    }
  }
  Reader leaf(header.Page(page, context), "|CONTEXT");
  leaf.U16();
  const unsigned count = leaf.U16();
  leaf.Seek(8);
  for (unsigned i = 0; i < count; ++i) {
    const auto key = static_cast<std::int32_t>(leaf.U32());
    const std::uint32_t offset = leaf.U32();
    if (key == hash) return offset;
  }
  return std::nullopt;
}

const ReadTopic* HelpFileView::TopicAt(std::uint32_t offset) const {
  for (const ReadTopic& topic : topics) {
    if (topic.offset == offset) return &topic;
  }
  return nullptr;
}

HelpFileView ReadHelpFile(std::span<const std::uint8_t> file) {
  HelpFileView view;
  Reader header(file, "header");
  if (header.U32() != kFileMagic) header.Fail("not a help file");
  const std::uint32_t directory = header.U32();
  header.U32();
  if (header.U32() != file.size()) header.Fail("file size does not match its header");

  WalkBTree(InternalFileAt(file, directory, "directory"), "directory", [&](Reader& in) {
    std::string name = in.StringZ();
    view.files.emplace_back(std::move(name), in.U32());
  });
  for (const auto& [name, offset] : view.files)
    InternalFileAt(file, offset, name);
  auto find = [&](const std::string& name) -> std::span<const std::uint8_t> {
    for (const auto& [file_name, offset] : view.files) {
      if (file_name == name) return InternalFileAt(file, offset, name);
    }
    throw FormatError(name + ": missing");
  };

  Reader system(find("|SYSTEM"), "|SYSTEM");
  if (system.U16() != kSystemMagic) system.Fail("bad magic");
  view.minor = system.U16();
  if (system.U16() != 1 || view.minor <= 16) system.Fail("not a Windows Help 3.1 or 4 file");
  view.generated = system.U32();
  view.flags = system.U16();
  if (view.flags != 0) system.Fail("compressed topics are not supported");
  while (!system.AtEnd()) {
    const unsigned type = system.U16();
    Reader data(system.Take(system.U16()), "|SYSTEM record");
    if (type == 1) view.title = data.StringZ();
    if (type == 3) view.contents = data.U32();
  }

  Reader fonts(find("|FONT"), "|FONT");
  const unsigned faces = fonts.U16();
  const unsigned descriptors = fonts.U16();
  const unsigned faceOffset = fonts.U16();
  const unsigned descriptorOffset = fonts.U16();
  if (faces == 0 || descriptorOffset < faceOffset) fonts.Fail("bad face table");
  const unsigned faceLength = (descriptorOffset - faceOffset) / faces;
  if (faceLength == 0) fonts.Fail("bad face table");
  for (unsigned i = 0; i < descriptors; ++i) {
    fonts.Seek(descriptorOffset + i * 11);
    ReadFont font;
    font.bold = (fonts.U8() & 1) != 0;
    font.halfPoints = fonts.U8();
    fonts.U8();
    const unsigned face = fonts.U16();
    if (face >= faces) fonts.Fail("font names a missing face");
    fonts.Seek(faceOffset + face * faceLength);
    const auto name = fonts.Take(faceLength);
    font.face.assign(name.begin(), std::find(name.begin(), name.end(), 0));
    view.fonts.push_back(font);
  }

  view.topics = Topics(find("|TOPIC"));
  for (const ReadTopic& topic : view.topics) {
    for (const ReadParagraph& paragraph : topic.paragraphs) {
      for (const ReadRun& run : paragraph.runs) {
        if (run.font >= view.fonts.size()) throw FormatError("|TOPIC: text in a missing font");
      }
    }
  }

  const auto contexts = find("|CONTEXT");
  view.contextTree.assign(contexts.begin(), contexts.end());
  WalkBTree(contexts, "|CONTEXT", [&](Reader& in) {
    const auto hash = static_cast<std::int32_t>(in.U32());
    view.contexts.emplace_back(hash, in.U32());
  });
  WalkBTree(find("|TTLBTREE"), "|TTLBTREE", [&](Reader& in) {
    const std::uint32_t offset = in.U32();
    view.titles.emplace_back(offset, in.StringZ());
  });
  Reader map(find("|CTXOMAP"), "|CTXOMAP");
  for (unsigned i = 0, count = map.U16(); i < count; ++i) {
    const std::uint32_t number = map.U32();
    view.map.emplace_back(number, map.U32());
  }
  if (!map.AtEnd()) map.Fail("size does not match its entries");
  ReadKeywords(view, find);
  return view;
}

}  // namespace vu::helpc
