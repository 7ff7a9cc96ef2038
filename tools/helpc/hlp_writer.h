#pragma once
// Writes a Windows Help 4 file (uncompressed topic text) and its contents file.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/helpc/bytes.h"
#include "tools/helpc/document.h"

namespace vu::helpc {

// The help file's fixed layout values, shared with the reader.
inline constexpr std::uint32_t kFileMagic = 0x00035F3F;
inline constexpr unsigned kBTreeMagic = 0x293B;
inline constexpr unsigned kSystemMagic = 0x036C;
inline constexpr unsigned kTopicBlockSize = 4096;
inline constexpr unsigned kTopicBlockHeader = 12;
inline constexpr unsigned kTopicLinkHeader = 21;
inline constexpr std::uint8_t kRecordTopicHeader = 0x02;
inline constexpr std::uint8_t kRecordDisplay = 0x20;

// Fonts of |FONT, by descriptor number.
enum Font : unsigned { kFontText = 0, kFontBold = 1, kFontHeading = 2 };

// One B+ tree entry: what the leaf stores and the key an index page repeats.
struct BTreeEntry {
  Bytes leaf;
  Bytes key;
};

// Where a leaf page of a B+ tree starts: its page number and the index of its first entry.
struct LeafStart {
  unsigned page;
  std::uint32_t first;
};

// A B+ tree of the given page size over entries already in key order; `leaves`, when given,
// receives where each leaf page starts, in order.
Bytes BuildBTree(const std::vector<BTreeEntry>& entries, unsigned flags, unsigned pageSize,
                 std::string_view structure, std::vector<LeafStart>* leaves = nullptr);

// The order of the keyword index: letters compare without case, then byte by byte.
bool KeywordLess(std::string_view a, std::string_view b);

// The internal file system: a header, the files and the directory tree.
Bytes BuildFileSystem(std::vector<std::pair<std::string, Bytes>> files);

// The whole .hlp file. `generated` is the build time the file records (seconds since 1970).
Bytes WriteHelpFile(const Document& doc, std::uint32_t generated);

// The contents file (.cnt) that lists the topics under their books.
std::string WriteContentsFile(const Document& doc, std::string_view helpFileName);

}  // namespace vu::helpc
