#include <gtest/gtest.h>

#include <string>

#include "tools/helpc/hlp_reader.h"
#include "tools/helpc/hlp_writer.h"
#include "tools/helpc/markup.h"

namespace vu::helpc {
namespace {

constexpr const char* kSource =
    "!title Test Help\n"
    "!contents welcome\n"
    "== welcome Welcome\n"
    "Read about [the first step](step_one) or *the second* [step](step.two).\n"
    "- a bullet\n"
    "!book Steps\n"
    "== step_one Step One\n"
    "Back to the [start](welcome).\n"
    "== step.two Step Two\n"
    "Plain text.\n";

HelpFileView RoundTrip(const Document& doc) {
  return ReadHelpFile(WriteHelpFile(doc, 12345));
}

const ReadTopic& TopicTitled(const HelpFileView& view, const std::string& title) {
  for (const ReadTopic& topic : view.topics) {
    if (topic.title == title) return topic;
  }
  throw std::runtime_error("no topic " + title);
}

TEST(HelpFile, RoundTripsTopicsTitlesContextsAndLinks) {
  const Document doc = ParseMarkup(kSource);
  const HelpFileView view = RoundTrip(doc);

  EXPECT_EQ(view.title, "Test Help");
  EXPECT_EQ(view.minor, 33u);
  EXPECT_EQ(view.generated, 12345u);
  std::vector<std::string> names;
  for (const auto& file : view.files)
    names.push_back(file.first);
  EXPECT_EQ(names, (std::vector<std::string>{"|CONTEXT", "|CTXOMAP", "|FONT", "|SYSTEM", "|TOPIC",
                                             "|TTLBTREE"}));

  ASSERT_EQ(view.topics.size(), 3u);
  EXPECT_EQ(view.topics[0].title, "Welcome");
  EXPECT_EQ(view.topics[2].title, "Step Two");
  ASSERT_TRUE(view.contents);
  EXPECT_EQ(view.TopicAt(*view.contents), &view.topics[0]);

  // Every topic id leads, through the context tree, to its own topic; titles are listed too.
  ASSERT_EQ(view.contexts.size(), 3u);
  for (const Topic& topic : doc.topics) {
    const std::optional<std::uint32_t> offset = view.FindContext(ContextHash(topic.id));
    ASSERT_TRUE(offset) << topic.id;
    ASSERT_NE(view.TopicAt(*offset), nullptr);
    EXPECT_EQ(view.TopicAt(*offset)->title, topic.title);
  }
  for (std::size_t i = 0; i + 1 < view.contexts.size(); ++i) {
    EXPECT_LT(view.contexts[i].first, view.contexts[i + 1].first)
        << "the tree is kept in hash order";
  }
  ASSERT_EQ(view.titles.size(), 3u);
  for (const auto& [offset, title] : view.titles)
    EXPECT_EQ(view.TopicAt(offset)->title, title);

  // The heading, then the paragraphs with bold runs and hotspots.
  const ReadTopic& welcome = view.topics[0];
  ASSERT_EQ(welcome.paragraphs.size(), 3u);
  EXPECT_EQ(welcome.paragraphs[0].Text(), "Welcome");
  EXPECT_EQ(welcome.paragraphs[0].runs[0].font, kFontHeading);
  const ReadParagraph& body = welcome.paragraphs[1];
  EXPECT_EQ(body.Text(), "Read about the first step or the second step.");
  ASSERT_EQ(body.runs.size(), 7u);
  EXPECT_EQ(body.runs[1].text, "the first step");
  EXPECT_EQ(body.runs[1].jump, ContextHash("step_one"));
  EXPECT_EQ(body.runs[3].text, "the second");
  EXPECT_EQ(body.runs[3].font, kFontBold);
  EXPECT_FALSE(body.runs[3].jump);
  EXPECT_FALSE(body.runs[4].jump);
  EXPECT_EQ(body.runs[5].jump, ContextHash("step.two"));
  EXPECT_EQ(welcome.paragraphs[2].Text(), "\x95\ta bullet");
  EXPECT_EQ(TopicTitled(view, "Step One").paragraphs[1].runs[1].jump, ContextHash("welcome"));

  ASSERT_EQ(view.fonts.size(), 3u);
  EXPECT_EQ(view.fonts[kFontText].face, "Arial");
  EXPECT_FALSE(view.fonts[kFontText].bold);
  EXPECT_TRUE(view.fonts[kFontBold].bold);
}

TEST(HelpFile, WritesTheKeywordIndexAndTheContextMap) {
  const Document doc = ParseMarkup(
      "!title T\n!contents a\n"
      "== a Alpha\n!keywords zebra; Apple; shared\n!map 200\nx\n"
      "== b Beta\n!keywords apple; Shared\n!map 100\ny\n"
      "== c Gamma\nz\n");
  const HelpFileView view = RoundTrip(doc);
  auto titles = [&](const std::vector<std::uint32_t>& offsets) {
    std::vector<std::string> out;
    for (std::uint32_t offset : offsets)
      out.push_back(view.TopicAt(offset) ? view.TopicAt(offset)->title : "(missing)");
    return out;
  };
  // Case-blind order; keywords differing only in case are one entry naming both topics.
  ASSERT_EQ(view.keywords.size(), 3u);
  EXPECT_EQ(view.keywords[0].first, "Apple");
  EXPECT_EQ(titles(view.keywords[0].second), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_EQ(view.keywords[1].first, "shared");
  EXPECT_EQ(titles(view.keywords[1].second), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_EQ(view.keywords[2].first, "zebra");
  EXPECT_EQ(titles(view.keywords[2].second), (std::vector<std::string>{"Alpha"}));

  ASSERT_EQ(view.map.size(), 2u);
  EXPECT_EQ(view.map[0].first, 100u);
  EXPECT_EQ(view.TopicAt(view.map[0].second)->title, "Beta");
  EXPECT_EQ(view.map[1].first, 200u);
  EXPECT_EQ(view.TopicAt(view.map[1].second)->title, "Alpha");

  // Without keywords the index files are left out altogether.
  const HelpFileView plain = ReadHelpFile(WriteHelpFile(ParseMarkup(kSource), 0));
  for (const auto& file : plain.files)
    EXPECT_FALSE(file.first.starts_with("|KW")) << file.first;
  EXPECT_TRUE(plain.map.empty());
}

TEST(HelpFile, ManyKeywordsFillSeveralPagesInOrder) {
  std::string source = "!title T\n!contents t0\n";
  for (int i = 0; i < 300; ++i) {
    source += "== t" + std::to_string(i) + " Topic " + std::to_string(i) + "\n";
    source += "!keywords keyword number " + std::to_string(i) + " with some length to it\n";
  }
  const Bytes file = WriteHelpFile(ParseMarkup(source), 0);
  const HelpFileView view = ReadHelpFile(file);  // checks |KWMAP against the tree's leaves
  ASSERT_EQ(view.keywords.size(), 300u);
  for (std::size_t i = 0; i + 1 < view.keywords.size(); ++i)
    EXPECT_TRUE(KeywordLess(view.keywords[i].first, view.keywords[i + 1].first)) << i;
  for (const auto& [keyword, offsets] : view.keywords) {
    ASSERT_EQ(offsets.size(), 1u);
    const std::string number = keyword.substr(15, keyword.find(' ', 15) - 15);
    EXPECT_EQ(view.TopicAt(offsets[0])->title, "Topic " + number);
  }
}

TEST(Keywords, SortWithoutCaseThenByBytes) {
  EXPECT_TRUE(KeywordLess("apple", "Banana"));
  EXPECT_TRUE(KeywordLess("Apple", "banana"));
  EXPECT_FALSE(KeywordLess("banana", "Apple"));
  EXPECT_TRUE(KeywordLess("app", "Apple"));
  EXPECT_TRUE(KeywordLess("Apple", "apple"));
  EXPECT_FALSE(KeywordLess("apple", "apple"));
}

// Enough topics for several leaf pages and an index level in |CONTEXT and |TTLBTREE, and
// enough text for records that run across topic blocks.
Document LargeDocument() {
  std::string source = "!title Large\n!contents t0\n";
  for (int i = 0; i < 400; ++i) {
    source +=
        "== t" + std::to_string(i) + " Topic number " + std::to_string(i) + " of the large file\n";
    source += "Goes on to [the next](t" + std::to_string((i + 1) % 400) + ").\n\n";
    if (i % 50 == 7) source += std::string(9000, 'x') + "\n\n" + std::string(5000, 'y') + "\n";
  }
  return ParseMarkup(source);
}

TEST(HelpFile, LargeFilesUseIndexPagesAndSpanBlocks) {
  const Document doc = LargeDocument();
  const Bytes file = WriteHelpFile(doc, 0);
  const HelpFileView view = ReadHelpFile(file);
  ASSERT_EQ(view.topics.size(), 400u);
  EXPECT_EQ(view.contexts.size(), 400u);
  EXPECT_EQ(view.titles.size(), 400u);
  for (const Topic& topic : doc.topics) {
    const std::optional<std::uint32_t> offset = view.FindContext(ContextHash(topic.id));
    ASSERT_TRUE(offset) << topic.id;
    ASSERT_NE(view.TopicAt(*offset), nullptr) << topic.id;
    EXPECT_EQ(view.TopicAt(*offset)->title, topic.title);
  }
  EXPECT_FALSE(view.FindContext(ContextHash("t400")));
  const ReadTopic& long_topic = TopicTitled(view, "Topic number 57 of the large file");
  ASSERT_EQ(long_topic.paragraphs.size(), 4u);
  EXPECT_EQ(long_topic.paragraphs[2].Text(), std::string(9000, 'x'));
  EXPECT_EQ(long_topic.paragraphs[3].Text(), std::string(5000, 'y'));
  // Topic offsets only grow, block after block.
  for (std::size_t i = 0; i + 1 < view.topics.size(); ++i) {
    EXPECT_LT(view.topics[i].offset, view.topics[i + 1].offset) << i;
  }
}

TEST(BTree, SplitsIntoLeavesAndIndexPages) {
  std::vector<BTreeEntry> entries;
  for (std::uint32_t key = 0; key < 1000; ++key) {
    BTreeEntry entry;
    Put32(entry.key, key);
    entry.leaf = entry.key;
    Put32(entry.leaf, key * 7);
    entries.push_back(entry);
  }
  // 64-byte pages: 7 entries a leaf, 9 children an index page, so three index levels.
  const Bytes tree = BuildBTree(entries, 0x0002, 64, "L4");
  Reader header(tree, "tree");
  header.Seek(32);
  EXPECT_EQ(header.U16(), 4u);  // levels
  std::uint32_t expected = 0;
  WalkBTree(tree, "tree", [&](Reader& in) {
    EXPECT_EQ(in.U32(), expected);
    EXPECT_EQ(in.U32(), expected * 7);
    ++expected;
  });
  EXPECT_EQ(expected, 1000u);
  BTreeEntry huge;
  huge.leaf = Bytes(100, 1);
  EXPECT_THROW(BuildBTree({huge}, 0x0002, 64, "L4"), std::length_error);
}

TEST(ContentsFile, ListsTopicsUnderTheirBooks) {
  EXPECT_EQ(WriteContentsFile(ParseMarkup(kSource), "Test.hlp"),
            ":Base Test.hlp\r\n:Title Test Help\r\n"
            "1 Welcome=welcome\r\n"
            "1 Steps\r\n2 Step One=step_one\r\n2 Step Two=step.two\r\n");
}

std::string ReadError(const Bytes& file) {
  try {
    ReadHelpFile(file);
  } catch (const FormatError& error) {
    return error.what();
  }
  return "read";
}

TEST(Reader, RejectsMalformedFiles) {
  const Bytes good = WriteHelpFile(ParseMarkup(kSource), 0);
  ASSERT_EQ(ReadError(good), "read");

  EXPECT_EQ(ReadError(Bytes(good.begin(), good.begin() + 10)), "header: truncated");
  Bytes bad = good;
  bad[0] = 0;
  EXPECT_EQ(ReadError(bad), "header: not a help file");
  bad = good;
  bad.pop_back();
  EXPECT_EQ(ReadError(bad), "header: file size does not match its header");
  bad = good;
  Set32(bad, 4, static_cast<std::uint32_t>(good.size()));  // directory at the very end
  EXPECT_EQ(ReadError(bad), "directory: truncated");

  // Every internal file is found through the directory, so a bad offset in it is caught.
  const HelpFileView view = ReadHelpFile(good);
  for (const auto& [name, offset] : view.files) {
    bad = good;
    Set32(bad, offset + 4, 0x7FFFFFFF);  // used space larger than the file
    EXPECT_NE(ReadError(bad), "read") << name;
    bad = good;
    Set16(bad, offset + 9, 0x1234);  // the first bytes of the file's own data
    EXPECT_NE(ReadError(bad), "read") << name;
  }
}

TEST(Reader, RejectsLoopsAndBadRecords) {
  const Bytes good = WriteHelpFile(ParseMarkup(kSource), 0);
  const HelpFileView view = ReadHelpFile(good);
  std::uint32_t topic = 0;
  for (const auto& [name, offset] : view.files) {
    if (name == "|TOPIC") topic = offset + 9;
  }
  const std::size_t first = topic + kTopicBlockHeader;  // the first record
  Bytes bad = good;
  Set32(bad, first + 12, kTopicBlockHeader);  // the next record is itself
  EXPECT_EQ(ReadError(bad), "|TOPIC: records form a loop");
  bad = good;
  Set32(bad, first + 16, 3);  // LinkData1 shorter than the record header
  EXPECT_EQ(ReadError(bad), "|TOPIC: bad record sizes");
  bad = good;
  Set32(bad, first, 0x00100000);  // text beyond the end
  EXPECT_NE(ReadError(bad), "read");
  bad = good;
  bad[first + 20] = 0x23;  // a table, which the compiler never writes
  EXPECT_EQ(ReadError(bad), "|TOPIC: unsupported record type 35");
}

// Whatever a damaged file holds, the reader either reads it or reports it: it never reads
// outside the file (the sanitizers watch this test).
TEST(Reader, SurvivesDamageAnywhere) {
  const Bytes good = WriteHelpFile(ParseMarkup(kSource), 0);
  for (std::size_t at = 0; at < good.size(); at += 3) {
    for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF}, std::uint8_t{0x81}}) {
      Bytes bad = good;
      bad[at] = value;
      try {
        ReadHelpFile(bad);
      } catch (const FormatError&) {
      }
    }
  }
  for (std::size_t size = 0; size < good.size(); size += 97) {
    Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_THROW(ReadHelpFile(cut), FormatError) << size;
  }
}

}  // namespace
}  // namespace vu::helpc
