#include "tools/helpc/markup.h"

#include <gtest/gtest.h>

#include "tools/helpc/codepage.h"

namespace vu::helpc {
namespace {

constexpr const char* kSource =
    "# comment\n"
    "!title Help \xE2\x84\xA2\n"
    "!contents main\n"
    "== main Main topic\n"
    "First line\n"
    "  second line with *bold words* and [a link](other.page).\n"
    "\n"
    "- one \\*star\\* \\[not a link\\] C:\\DIR\\ (paren)\n"
    "  continued\n"
    "- two\n"
    "!book The Book\n"
    "== other.page Other \xE2\x80\x94 page\n"
    "Back to *[main](main)*.\n";

TEST(Markup, BuildsTopicsParagraphsAndRuns) {
  const Document doc = ParseMarkup(kSource);
  EXPECT_EQ(doc.title, "Help \x99");
  EXPECT_EQ(doc.contents, "main");
  ASSERT_EQ(doc.topics.size(), 2u);

  const Topic& main = doc.topics[0];
  EXPECT_EQ(main.id, "main");
  EXPECT_EQ(main.book, "");
  EXPECT_EQ(main.line, 4);
  ASSERT_EQ(main.paragraphs.size(), 3u);
  const std::vector<helpc::Run>& runs = main.paragraphs[0].runs;
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[0].text, "First line second line with ");
  EXPECT_FALSE(runs[0].bold);
  EXPECT_EQ(runs[1].text, "bold words");
  EXPECT_TRUE(runs[1].bold);
  EXPECT_EQ(runs[2].text, " and ");
  EXPECT_FALSE(runs[2].bold);
  EXPECT_EQ(runs[3].text, "a link");
  EXPECT_EQ(runs[3].link, "other.page");
  EXPECT_EQ(runs[3].line, 6);
  EXPECT_EQ(runs[4].text, ".");

  EXPECT_TRUE(main.paragraphs[1].bullet);
  ASSERT_EQ(main.paragraphs[1].runs.size(), 1u);
  EXPECT_EQ(main.paragraphs[1].runs[0].text, "one *star* [not a link] C:\\DIR\\ (paren) continued");
  EXPECT_TRUE(main.paragraphs[2].bullet);

  const Topic& other = doc.topics[1];
  EXPECT_EQ(other.title, "Other \x97 page");
  EXPECT_EQ(other.book, "The Book");
  ASSERT_EQ(other.paragraphs[0].runs.size(), 3u);
  EXPECT_TRUE(other.paragraphs[0].runs[1].bold);
  EXPECT_EQ(other.paragraphs[0].runs[1].link, "main");
}

struct Fault {
  const char* source;
  int line;
  const char* message;
};

// Lines 1 to 3 of most faulty sources.
#define HEAD "!title T\n!contents a\n== a Topic A\n"

TEST(Markup, ReportsTheLineOfEachFault) {
  const Fault faults[] = {
      {"text\n== a A\n", 1, "text before the first topic"},
      {"!titel T\n", 1, "unknown directive '!titel'"},
      {"== a\n", 1, "topic 'a' without a title"},
      {"== a-b Title\n", 1, "may hold only letters"},
      {HEAD "\n== a Again\n", 5, "already defined on line 3"},
      {HEAD "x\n*never closed\n", 5, "never closed"},
      {HEAD "x [link](a\n", 4, "link target without ')'"},
      {HEAD "x [link] (a)\n", 4, "link without '(topic_id)'"},
      {HEAD "x [](a)\n", 4, "link without text"},
      {HEAD "x\ny [open\n", 5, "'[' opens a link that is never closed"},
      {HEAD "x [link](a b)\n", 4, "link target 'a b' is not a topic id"},
      {HEAD "x [a *b*](a)\n", 4, "'*' inside a link"},
      {HEAD "x\n\ny [to](nowhere)\n", 6, "link to unknown topic 'nowhere'"},
      {HEAD "x ] y\n", 4, "unexpected ']'"},
      {HEAD "x \xE2\x86\x92 y\n", 4, "U+2192 is not in the Windows-1252"},
      {HEAD "x \xC3\n", 4, "invalid UTF-8"},
      {"!keywords k\n" HEAD, 1, "!keywords before the first topic"},
      {HEAD "!keywords\n", 4, "!keywords without a keyword"},
      {HEAD "!keywords one;; two\n", 4, "empty keyword"},
      {HEAD "!map 12x\n", 4, "!map needs a number"},
      {HEAD "!map 0\n", 4, "!map needs a number"},
      {HEAD "!map 4294967296\n", 4, "!map needs a number"},
      {HEAD "!map 7\n!map 8\n", 5, "topic 'a' already mapped"},
      {HEAD "!map 7\n== b B\n!map 7\n", 6, "map number 7 already used by 'a'"},
  };
  for (const Fault& fault : faults) {
    try {
      ParseMarkup(fault.source);
      ADD_FAILURE() << "accepted: " << fault.source;
    } catch (const SourceError& error) {
      EXPECT_EQ(error.line(), fault.line) << fault.source;
      EXPECT_NE(std::string(error.what()).find(fault.message), std::string::npos)
          << fault.source << " gave: " << error.what();
    }
  }
}

TEST(Markup, GivesTopicsKeywordsAndContextNumbers) {
  const Document doc = ParseMarkup(HEAD
                                   "!keywords  Alpha ; beta;Alpha\n"
                                   "Text.\n"
                                   "!keywords gamma\n"
                                   "== b B\n"
                                   "!map 4294967295\n");
  ASSERT_EQ(doc.topics.size(), 2u);
  EXPECT_EQ(doc.topics[0].keywords, (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_EQ(doc.topics[0].mapNumber, 0u);
  EXPECT_EQ(doc.topics[0].paragraphs.size(), 1u);
  EXPECT_TRUE(doc.topics[1].keywords.empty());
  EXPECT_EQ(doc.topics[1].mapNumber, 4294967295u);
}

TEST(Markup, ChecksTheWholeDocument) {
  auto message = [](const std::string& source) -> std::string {
    try {
      ParseMarkup(source);
    } catch (const SourceError& error) {
      return error.what();
    }
    return "accepted";
  };
  EXPECT_EQ(message("!contents a\n== a A\n"), "no !title");
  EXPECT_EQ(message("!title T\n== a A\n"), "no !contents");
  EXPECT_EQ(message("!title T\n!contents b\n== a A\n"), "!contents names unknown topic 'b'");
  EXPECT_EQ(message("!title T\n!contents a\n"), "no topics");
  // The viewer finds topics by hash alone: ids differing only in case are the same topic.
  EXPECT_EQ(message("!title T\n!contents a\n== a A\n== A B\n"),
            "topic id 'A' has the same hash as 'a'");
}

TEST(Markup, AcceptsWindowsLineEndsAndAByteOrderMark) {
  const Document doc = ParseMarkup("\xEF\xBB\xBF!title T\r\n!contents a\r\n== a Alpha\r\nText\r\n");
  EXPECT_EQ(doc.title, "T");
  ASSERT_EQ(doc.topics.size(), 1u);
  EXPECT_EQ(doc.topics[0].title, "Alpha");
  EXPECT_EQ(doc.topics[0].paragraphs[0].runs[0].text, "Text");
}

TEST(ContextHash, MatchesTheViewersHash) {
  // Worked by hand: each character's value, then hash * 43 + value.
  EXPECT_EQ(ContextHash("a"), 17);
  EXPECT_EQ(ContextHash("A"), 17);
  EXPECT_EQ(ContextHash("b1"), 18 * 43 + 1);
  EXPECT_EQ(ContextHash("0._"), (10 * 43 + 12) * 43 + 13);
  EXPECT_TRUE(IsValidContextId("Topic_1.a"));
  EXPECT_FALSE(IsValidContextId("with space"));
  EXPECT_FALSE(IsValidContextId(""));
}

TEST(Codepage, MapsTheWindows1252Specials) {
  EXPECT_EQ(ToWindows1252("\xE2\x80\xA2\xE2\x80\x9C\xE2\x82\xAC\xC3\xA9"), "\x95\x93\x80\xE9");
  std::string bad;
  EXPECT_FALSE(ToWindows1252("\xF0\x9F\x98\x80", &bad));
  EXPECT_EQ(bad, "U+1F600");
  EXPECT_FALSE(ToWindows1252("\xE2\x80", &bad));
  EXPECT_EQ(bad, "invalid UTF-8");
}

}  // namespace
}  // namespace vu::helpc
