#include "platform/sandbox/shell_link.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sandbox/shell_link_idlist.h"
#include "platform/text.h"
#include "tests/test_paths.h"

namespace vu::platform::sandbox {
namespace {

namespace fs = std::filesystem;

fs::path DataDir() {
  return vu::testing::SourceDir() / "tests/data/lnk";
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::vector<std::string>> Manifest(const fs::path& path) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(ReadFile(path));
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
      fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    rows.push_back(fields);
  }
  return rows;
}

void PutU16(std::string& s, std::uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void PutU32(std::string& s, std::uint32_t v) {
  PutU16(s, v & 0xFFFF);
  PutU16(s, v >> 16);
}
void SetU32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint32_t GetU32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

constexpr std::size_t kFlags = 0x14;

// A shell link header with |flags| followed by |body|.
std::string Link(std::uint32_t flags, const std::string& body) {
  std::string link = BuildShellLink("C:\\x");
  link.resize(0x4C);
  SetU32(link, kFlags, flags);
  return link + body + std::string(4, '\0');
}

// A LinkInfo structure with header size 0x24: a VolumeID and |local| always, a network part when
// |netName| is given, the suffix, and |localUnicode| when given.
std::string LinkInfoBlock(std::uint32_t flags, const std::string& local, const std::string& suffix,
                          const std::string& netName = "",
                          const std::u16string& localUnicode = u"") {
  struct {
    std::uint32_t flags;
    const std::string &local, &suffix, &netName;
    const std::u16string& localUnicode;
  } in{flags, local, suffix, netName, localUnicode};
  std::string b(0x24, '\0');
  SetU32(b, 4, 0x24);
  SetU32(b, 8, in.flags);
  SetU32(b, 12, static_cast<std::uint32_t>(b.size()));
  PutU32(b, 0x11), PutU32(b, 3), PutU32(b, 0), PutU32(b, 0x10), b += '\0';
  SetU32(b, 16, static_cast<std::uint32_t>(b.size()));
  b += in.local + '\0';
  if (!in.netName.empty()) {
    SetU32(b, 20, static_cast<std::uint32_t>(b.size()));
    PutU32(b, 0x14 + in.netName.size() + 1), PutU32(b, 2), PutU32(b, 0x14), PutU32(b, 0);
    PutU32(b, 0x20000);
    b += in.netName + '\0';
  }
  SetU32(b, 24, static_cast<std::uint32_t>(b.size()));
  b += in.suffix + '\0';
  if (!in.localUnicode.empty()) {
    SetU32(b, 28, static_cast<std::uint32_t>(b.size()));
    for (char16_t c : in.localUnicode)
      PutU16(b, c);
    PutU16(b, 0);
  }
  SetU32(b, 0, static_cast<std::uint32_t>(b.size()));
  return b;
}

// A file-system item as a pre-XP shell writes it: long name first, short name second.
std::string OldFileItem(const std::string& longName, const std::string& shortName) {
  std::string item(14, '\0');
  item[2] = 0x32;
  item += longName + '\0' + shortName + '\0';
  item[0] = static_cast<char>(item.size());
  return item;
}

// ID list: My Computer, drive C:, then |items|.
std::string IdList(const std::vector<std::string>& items) {
  std::string all = lnk::BuildIdList("C:\\", true);
  all.resize(all.size() - 2);  // drop the terminal
  for (const auto& item : items)
    all += item;
  all += std::string(2, '\0');
  std::string list;
  PutU16(list, static_cast<std::uint32_t>(all.size()));
  return list + all;
}

std::optional<std::string> Read(const std::string& bytes) {
  return ReadShellLinkTarget(bytes);
}

TEST(ShellLinkReference, ReadsEveryWineMadeLinkAsWineReportsIt) {
  const auto rows = Manifest(DataDir() / "wine/manifest.tsv");
  ASSERT_GE(rows.size(), 10u);
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 2u);
    EXPECT_EQ(Read(ReadFile(DataDir() / "wine" / row[0])), row[1]) << row[0];
  }
}

TEST(ShellLinkReference, WineLinksIdListNamesTheSameTarget) {
  // Wine's own ID lists, read with LinkInfo switched off (ForceNoLinkInfo).
  for (const char* name : {"local-file.lnk", "long-names.lnk", "latin1.lnk", "deep.lnk",
                           "folder.lnk", "other-drive.lnk", "drive-root.lnk"}) {
    std::string bytes = ReadFile(DataDir() / "wine" / name);
    const auto expected = Read(bytes);
    SetU32(bytes, kFlags, GetU32(bytes, kFlags) | 0x100);
    EXPECT_EQ(Read(bytes), expected) << name;
  }
}

TEST(ShellLinkReference, WriterOutputIsWhatWineWasShown) {
  const auto rows = Manifest(DataDir() / "sandbox/manifest.tsv");
  ASSERT_GE(rows.size(), 10u);
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 5u);
    const std::string& target = row[1];
    const std::string written = BuildShellLink(target, row[2], row[3] == "1");
    EXPECT_EQ(written, ReadFile(DataDir() / "sandbox" / row[0]))
        << row[0] << ": the writer changed; run tools/lnkgen/generate.sh and review";
    EXPECT_EQ(Read(written), target) << row[0];
    // Wine reads the ANSI local base path: characters outside Windows-1252 come back as '?'.
    EXPECT_EQ(row[4], Cp1252ToUtf8(Utf8ToCp1252(target))) << row[0];
  }
}

struct WriterCase {
  std::string target, arguments;
  bool folder;
};
const std::vector<WriterCase>& WriterCases() {
  static const std::vector<WriterCase> cases = {
      {"C:\\WINDOWS\\NOTEPAD.EXE", "", false},
      {"C:\\Program Files\\Velloria Utilities\\Optimizer.exe", "-run now", false},
      {"C:\\Mes documents\\Caf\xC3\xA9\\R\xC3\xA9sum\xC3\xA9\xE2\x84\xA2.doc", "", false},
      {"C:\\\xE6\x97\xA5\xE6\x9C\xAC\\\xD0\x9C\xD0\xB8\xD1\x80.txt", "\xE6\x97\xA5", false},
      {"D:\\Games", "", true},
      {"c:\\lower\\case.txt", "", false},
      {"C:\\", "", true},
      {"\\\\server\\share\\dir\\file.exe", "", false},
      {"\\\\server\\share", "", true},
      {"\\\\server\\share\\", "", true},
      {"\\\\\xC3\xBC\xE6\x97\xA5\\share\\x.txt", "", false},
      {"relative\\file.txt", "", false},
      {"", "", false},
  };
  return cases;
}

TEST(ShellLinkWriter, EveryTargetReadsBack) {
  for (const auto& c : WriterCases()) {
    EXPECT_EQ(Read(BuildShellLink(c.target, c.arguments, c.folder)), c.target) << c.target;
  }
}

TEST(ShellLinkWriter, DrivePathsCarryAnIdListWithLongNames) {
  for (const auto& c : WriterCases()) {
    if (c.target.size() < 3 || c.target[1] != ':') continue;
    std::string link = BuildShellLink(c.target, c.arguments, c.folder);
    const std::uint32_t flags = GetU32(link, kFlags);
    EXPECT_EQ(flags & 0x1, 0x1u) << c.target;
    EXPECT_EQ(GetU32(link, 0x18), c.folder ? 0x10u : 0x20u) << c.target;
    SetU32(link, kFlags, flags | 0x100);  // the ID list alone must name the target
    std::string expected = c.target;
    expected[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(expected[0])));
    EXPECT_EQ(Read(link), expected) << c.target;
  }
}

TEST(ShellLinkWriter, LnkinfoReadsTheSamePath) {
  if (std::system("lnkinfo -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "lnkinfo is not installed";
  const fs::path dir =
      fs::temp_directory_path() / ("vu_lnkinfo_" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  int n = 0;
  for (const auto& c : WriterCases()) {
    const bool local = c.target.size() > 2 && c.target[1] == ':';
    const bool network = c.target.rfind("\\\\", 0) == 0;
    if (!local && !network) continue;
    const fs::path link = dir / (std::to_string(++n) + ".lnk");
    std::ofstream(link, std::ios::binary) << BuildShellLink(c.target, c.arguments, c.folder);
    const fs::path report = dir / "report.txt";
    ASSERT_EQ(
        std::system(("lnkinfo '" + link.string() + "' >'" + report.string() + "' 2>&1").c_str()), 0)
        << ReadFile(report);
    const std::string key = network ? "Network path" : "Local path";
    std::string found;
    std::istringstream lines(ReadFile(report));
    for (std::string line; std::getline(lines, line);) {
      if (line.find(key) != std::string::npos) found = line.substr(line.find(": ") + 2);
    }
    EXPECT_EQ(found, c.target) << ReadFile(report);
  }
  fs::remove_all(dir);
}

TEST(ShellLinkReader, LinkInfoRules) {
  // UNC priority: the share name and the suffix win over the local path.
  EXPECT_EQ(Read(Link(0x2, LinkInfoBlock(3, "Z:\\", "dir\\f.exe", "\\\\srv\\share"))),
            "\\\\srv\\share\\dir\\f.exe");
  EXPECT_EQ(Read(Link(0x2, LinkInfoBlock(2, "", "", "\\\\srv\\s"))), "\\\\srv\\s");
  EXPECT_EQ(Read(Link(0x2, LinkInfoBlock(1, "C:\\Program Files", "a.exe"))),
            "C:\\Program Files\\a.exe");
  EXPECT_EQ(Read(Link(0x2, LinkInfoBlock(1, "C:\\", "a.exe"))), "C:\\a.exe");
  // The Unicode local base path is preferred; the ANSI one is Windows-1252.
  EXPECT_EQ(Read(Link(0x2, LinkInfoBlock(1, "C:\\?.txt", "", "", u"C:\\\u65E5.txt"))),
            "C:\\\xE6\x97\xA5.txt");
  EXPECT_EQ(Read(Link(0x2, LinkInfoBlock(1, "C:\\\x99\xE9", ""))), "C:\\\xE2\x84\xA2\xC3\xA9");
  // Neither flag: no path from LinkInfo, and none from elsewhere.
  EXPECT_EQ(Read(Link(0x2, LinkInfoBlock(0, "C:\\x", ""))), "");
}

TEST(ShellLinkReader, OtherSourcesOfTheTarget) {
  // Pre-XP items carry the long name first; Unicode-named items (flag 0x04) carry it in UTF-16.
  EXPECT_EQ(Read(Link(0x1, IdList({OldFileItem("Long Name.txt", "LONGNA~1.TXT")}))),
            "C:\\Long Name.txt");
  std::string unicodeItem(14, '\0');
  unicodeItem[2] = 0x36;
  for (char16_t c : std::u16string(u"\u00C5r.txt"))
    PutU16(unicodeItem, c);
  PutU16(unicodeItem, 0);
  unicodeItem[0] = static_cast<char>(unicodeItem.size());
  EXPECT_EQ(Read(Link(0x1, IdList({unicodeItem}))), "C:\\\xC3\x85r.txt");
  // A relative path is reported as it is written, ANSI or Unicode.
  std::string relative;
  PutU16(relative, 6);
  relative += "..\\x\xE9y";
  EXPECT_EQ(Read(Link(0x8, relative)), "..\\x\xC3\xA9y");
  // An advertised (Darwin) shortcut has no path; a link with nothing in it neither.
  EXPECT_EQ(Read(Link(0x1000, "")), "");
  EXPECT_EQ(Read(Link(0, "")), "");
  // An ID list rooted elsewhere than My Computer names no file.
  std::string list = IdList({});
  list[2 + 4] ^= 0x01;  // the root item's CLSID
  EXPECT_EQ(Read(Link(0x1, list)), "");
}

TEST(ShellLinkReader, RejectsBrokenStructures) {
  const std::string good = BuildShellLink("C:\\dir\\file.txt", "-a");
  ASSERT_TRUE(Read(good));
  const std::uint32_t idSize =
      static_cast<unsigned char>(good[0x4C]) | (static_cast<unsigned char>(good[0x4D]) << 8);
  const std::size_t infoAt = 0x4E + idSize;
  auto broken = [&good](std::size_t at, std::uint32_t value, int width) {
    std::string b = good;
    for (int i = 0; i < width; ++i)
      b[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return Read(b);
  };
  EXPECT_FALSE(broken(0, 0x4D, 4)) << "header size";
  EXPECT_FALSE(broken(4, 0x02, 1)) << "CLSID";
  EXPECT_FALSE(broken(0x4C, 0xFFFF, 2)) << "ID list longer than the file";
  EXPECT_FALSE(broken(0x4C + 2, 1, 2)) << "item size below its own fields";
  EXPECT_FALSE(broken(0x4C + 2, idSize + 10, 2)) << "item running past the list";
  EXPECT_FALSE(broken(0x4C + idSize, 0x55, 2)) << "no terminal ID";
  EXPECT_FALSE(broken(infoAt, 0xFFFFFFFF, 4)) << "LinkInfo size";
  EXPECT_FALSE(broken(infoAt, 0x10, 4)) << "LinkInfo smaller than its header";
  EXPECT_FALSE(broken(infoAt + 4, 0x20, 4)) << "LinkInfo header size";
  EXPECT_FALSE(broken(infoAt + 16, 0x7FFFFFF0, 4)) << "local base path offset";
  EXPECT_FALSE(broken(infoAt + 12, 0xFFFFFFF0, 4)) << "VolumeID offset";
  EXPECT_FALSE(broken(good.size() - 4, 0x7FFFFFFF, 4)) << "ExtraData block size";
  EXPECT_FALSE(broken(good.size() - 4, 5, 4)) << "ExtraData block below its header";
  // The arguments' count reaching past the end of the file.
  std::string b = good;
  const std::size_t countAt = good.size() - 4 - 2 * 2 - 2;
  b[countAt] = static_cast<char>(0xFF), b[countAt + 1] = static_cast<char>(0xFF);
  EXPECT_FALSE(Read(b)) << "string count";
  // A local base path without its NUL inside LinkInfo (the suffix offset cleared, so that the
  // path is the last thing in the structure).
  std::string block = LinkInfoBlock(1, "C:\\x", "");
  SetU32(block, 24, 0);
  block.resize(block.size() - 2);
  SetU32(block, 0, static_cast<std::uint32_t>(block.size()));
  EXPECT_FALSE(Read(Link(0x2, block)));
  block += '\0';
  SetU32(block, 0, static_cast<std::uint32_t>(block.size()));
  EXPECT_EQ(Read(Link(0x2, block)), "C:\\x");
}

TEST(ShellLinkReader, TruncationsAreRejectedOrReadInFull) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(DataDir())) {
    if (entry.path().extension() == ".lnk") files.push_back(entry.path());
  }
  ASSERT_GE(files.size(), 20u);
  for (const auto& file : files) {
    const std::string bytes = ReadFile(file);
    const auto full = Read(bytes);
    ASSERT_TRUE(full) << file;
    for (std::size_t n = 0; n < bytes.size(); ++n) {
      const auto cut = Read(bytes.substr(0, n));
      if (cut) {
        EXPECT_EQ(*cut, *full) << file << " cut at " << n;
      }
    }
  }
}

TEST(ShellLinkReader, SurvivesEverySingleByteChange) {
  // Under the sanitizers: no read outside the input, whatever byte is changed to what.
  for (const char* name : {"wine/arguments.lnk", "sandbox/cjk.lnk", "sandbox/network.lnk"}) {
    const std::string bytes = ReadFile(DataDir() / name);
    for (std::size_t at = 0; at < bytes.size(); ++at) {
      for (unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(value);
        Read(changed);
      }
    }
  }
}

TEST(ShellLinkShortName, KeepsShortNamesAndShortensLongOnes) {
  EXPECT_EQ(lnk::ShortName("readme.txt"), "README.TXT");
  EXPECT_EQ(lnk::ShortName("NOTEPAD.EXE"), "NOTEPAD.EXE");
  EXPECT_EQ(lnk::ShortName("Program Files"), "PROGRA~1");
  EXPECT_EQ(lnk::ShortName("Long File Name.txt"), "LONGFI~1.TXT");
  EXPECT_EQ(lnk::ShortName("archive.tar.gz"), "ARCHIV~1.GZ");
  EXPECT_EQ(lnk::ShortName("R\xC3\xA9sum\xC3\xA9.html"), "R_SUM_~1.HTM");
}

}  // namespace
}  // namespace vu::platform::sandbox
