#include "tools/helpc/helpc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "tests/test_paths.h"
#include "tools/helpc/hlp_writer.h"
#include "tools/helpc/markup.h"

namespace vu::helpc {
namespace {

namespace fs = std::filesystem;

class HelpcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("helpc_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  int Run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    return RunHelpc(args, out_, err_);
  }

  fs::path dir_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(HelpcTest, CompilesAndDumps) {
  Write("in.txt", "!title T\n!contents a\n== a Alpha\nSee [beta](b).\n== b Beta\nText.\n");
  ASSERT_EQ(Run({Path("in.txt"), Path("Out.hlp"), Path("Out.cnt")}), 0) << err_.str();
  EXPECT_EQ(err_.str(), "");
  EXPECT_EQ(Read(Path("Out.cnt")), ":Base Out.hlp\r\n:Title T\r\n1 Alpha=a\r\n1 Beta=b\r\n");
  ASSERT_EQ(Run({"--dump", Path("Out.hlp")}), 0) << err_.str();
  EXPECT_NE(out_.str().find("contents: Alpha\n"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("See [beta -> Beta]."), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("keywords: (none)\n"), std::string::npos) << out_.str();

  Write("in.txt", "!title T\n!contents a\n== a Alpha\n!keywords one; two\n!map 5\n");
  ASSERT_EQ(Run({Path("in.txt"), Path("Out.hlp"), Path("Out.cnt")}), 0) << err_.str();
  ASSERT_EQ(Run({"--dump", Path("Out.hlp")}), 0) << err_.str();
  EXPECT_NE(out_.str().find("\nkeywords:\n  one -> Alpha\n  two -> Alpha\n"), std::string::npos)
      << out_.str();
  EXPECT_NE(out_.str().find("\ncontext numbers:\n  5 -> Alpha\n"), std::string::npos) << out_.str();
}

TEST_F(HelpcTest, ABadLineIsOneLineWithItsNumberAndStatusTwo) {
  Write("in.txt", "!title T\n!contents a\n== a Alpha\nSee [beta](nowhere).\n");
  EXPECT_EQ(Run({Path("in.txt"), Path("Out.hlp"), Path("Out.cnt")}), 2);
  EXPECT_EQ(err_.str(), Path("in.txt") + ":4: link to unknown topic 'nowhere'\n");
  EXPECT_FALSE(fs::exists(Path("Out.hlp")));
}

TEST_F(HelpcTest, ReportsUnreadableInputAndBadFiles) {
  EXPECT_EQ(Run({Path("missing.txt"), Path("Out.hlp"), Path("Out.cnt")}), 1);
  EXPECT_EQ(Run({"--dump"}), 1);
  Write("bad.hlp", std::string(40, 'x'));
  EXPECT_EQ(Run({"--dump", Path("bad.hlp")}), 2);
  EXPECT_EQ(err_.str(), Path("bad.hlp") + ": header: not a help file\n");
}

// The Optimizer's own help: it compiles, and its contents topic leads to every topic.
TEST(OptimizerHelp, CompilesAndReachesEveryTopicFromTheContents) {
  std::ifstream in(vu::testing::SourceDir() / "help/optimizer.txt", std::ios::binary);
  ASSERT_TRUE(in);
  const Document doc = ParseMarkup(
      std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  const HelpFileView view = ReadHelpFile(WriteHelpFile(doc, 0));
  ASSERT_TRUE(view.contents);
  const ReadTopic* contents = view.TopicAt(*view.contents);
  ASSERT_NE(contents, nullptr);

  std::set<std::string> linked;
  for (const ReadParagraph& paragraph : contents->paragraphs) {
    for (const ReadRun& run : paragraph.runs) {
      if (!run.jump) continue;
      const std::optional<std::uint32_t> target = view.FindContext(*run.jump);
      ASSERT_TRUE(target) << run.text;
      ASSERT_NE(view.TopicAt(*target), nullptr) << run.text;
      linked.insert(view.TopicAt(*target)->title);
    }
  }
  for (const ReadTopic& topic : view.topics) {
    if (&topic != contents) {
      EXPECT_TRUE(linked.contains(topic.title)) << topic.title;
    }
  }
  // One topic for each of the ten kinds of optimization, under the wizard's page titles.
  for (const char* title :
       {"Broken Links", "Registry Mistakes", "Virtual Cache", "Windows StartMenu",
        "DOS Boot Sequence", "Uninstall Information", "File System", "Internet Connection",
        "Windows Startup", "Orphaned DLLs"}) {
    EXPECT_TRUE(linked.contains(title)) << title;
  }
  // Every topic is in the index under at least one keyword, and each keyword leads to one
  // topic only (the viewer's index opens a keyword's single topic directly).
  std::set<std::string> indexed;
  for (const auto& [keyword, offsets] : view.keywords) {
    EXPECT_EQ(offsets.size(), 1u) << keyword;
    for (std::uint32_t offset : offsets)
      indexed.insert(view.TopicAt(offset)->title);
  }
  for (const ReadTopic& topic : view.topics)
    EXPECT_TRUE(indexed.contains(topic.title)) << topic.title;
}

}  // namespace
}  // namespace vu::helpc
