// The journal holds every whole record; a record cut short at the end, as a crash leaves it, is
// left out; damage before the end is reported, not read past.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "optimizer/engine/backup_journal.h"

namespace vu::optimizer {
namespace {

using Kind = JournalRecord::Kind;

struct Written {
  std::string bytes;
  std::vector<std::size_t> ends;  // the offset after each record
};

Written ThreeRecords() {
  Written w;
  for (const auto& [kind, body] : std::vector<std::pair<Kind, std::string>>{
           {Kind::kFile, "file\t32\tC:\\WINDOWS\\DESKTOP\\Old.lnk\tShortcuts\\C\\Old.lnk"},
           {Kind::kRegistry, "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n\"V\"=\"x\r\ny\"\r\n\r\n"},
           {Kind::kVoid, "1"}}) {
    w.bytes += EncodeJournalRecord(static_cast<std::uint32_t>(w.ends.size() + 1), kind, body);
    w.ends.push_back(w.bytes.size());
  }
  return w;
}

TEST(JournalTest, ACrashAtAnyByteLeavesEveryWholeRecordAndNothingElse) {
  const Written w = ThreeRecords();
  const JournalReading all = ReadJournal(w.bytes);
  ASSERT_EQ(all.records.size(), 3u);
  EXPECT_FALSE(all.torn);
  EXPECT_FALSE(all.damagedAt);
  EXPECT_EQ(all.records[1].kind, Kind::kRegistry);
  EXPECT_NE(all.records[1].body.find("x\r\ny"), std::string::npos);
  EXPECT_TRUE(LiveRecords(all.records).size() == 1 &&
              LiveRecords(all.records)[0].kind == Kind::kRegistry);

  for (std::size_t cut = 0; cut <= w.bytes.size(); ++cut) {
    const JournalReading r = ReadJournal(std::string_view(w.bytes).substr(0, cut));
    std::size_t whole = 0;
    while (whole < w.ends.size() && w.ends[whole] <= cut)
      ++whole;
    EXPECT_EQ(r.records.size(), whole) << "cut at " << cut;
    EXPECT_EQ(r.torn, cut != 0 && (whole == 0 ? true : w.ends[whole - 1] != cut)) << cut;
    EXPECT_FALSE(r.damagedAt) << cut;
    for (std::size_t i = 0; i < r.records.size(); ++i)
      EXPECT_EQ(r.records[i].body, all.records[i].body);
  }

  // Zeros where the last record should be, as a file system can leave them.
  const JournalReading zeros = ReadJournal(w.bytes.substr(0, w.ends[1]) + std::string(40, '\0'));
  EXPECT_EQ(zeros.records.size(), 2u);
  EXPECT_TRUE(zeros.torn);
}

TEST(JournalTest, DamageBeforeTheEndStopsTheReading) {
  const Written w = ThreeRecords();
  // Every byte of the first record changed in turn: the record no longer counts, and the rest
  // is not read as if nothing had happened.
  for (std::size_t at = 0; at < w.ends[0]; ++at) {
    std::string bad = w.bytes;
    bad[at] = static_cast<char>(bad[at] ^ 0x20);
    const JournalReading r = ReadJournal(bad);
    ASSERT_TRUE(r.records.empty() || r.records[0].body == ReadJournal(w.bytes).records[0].body)
        << at;
    if (r.records.empty()) {
      EXPECT_EQ(r.damagedAt, 0u) << at;
      EXPECT_FALSE(r.torn) << at;
    }
  }
  // A header spelled otherwise than it is written ("#01") is not a record.
  std::string leadingZero = w.bytes;
  leadingZero.insert(1, "0");
  EXPECT_TRUE(ReadJournal(leadingZero).records.empty());
  // A record out of sequence is damage too.
  const std::string repeated = w.bytes.substr(0, w.ends[0]) + w.bytes.substr(0, w.ends[0]) + "x";
  EXPECT_EQ(ReadJournal(repeated).damagedAt, w.ends[0]);
}

TEST(JournalTest, FilesListReadsBackWhatWasWritten) {
  std::vector<FileRecord> records(3);
  records[0].kind = FileRecord::Kind::kFile;
  records[0].path = "C:\\WINDOWS\\DESKTOP\\Old.lnk";
  records[0].attributes = 34;
  records[0].copy = "Shortcuts\\C\\WINDOWS\\DESKTOP\\Old.lnk";
  records[1].kind = FileRecord::Kind::kEntry;
  records[1].path = "C:\\WINDOWS\\SYSTEM.INI";
  records[1].section = "vcache";
  records[1].key = "MinFileCache";
  records[1].value = "a = b\twith a tab";
  records[2] = records[1];
  records[2].value.reset();
  records[2].sectionExisted = false;
  std::vector<FileRecord> read;
  int bad = 0;
  ASSERT_TRUE(ParseFileRecords(FormatFileRecords(records), read, bad)) << bad;
  ASSERT_EQ(read.size(), records.size());
  EXPECT_EQ(read[0].copy, records[0].copy);
  EXPECT_EQ(read[0].attributes, 34u);
  EXPECT_EQ(read[1].value, records[1].value);
  EXPECT_FALSE(read[2].value);
  EXPECT_FALSE(read[2].sectionExisted);
  EXPECT_FALSE(ParseFileRecords("file\tx\tC:\\A\tB\r\n", read, bad));
  EXPECT_EQ(bad, 1);
  FileRecord newline = records[0];
  newline.path += "\r\nfolder\t0\tC:\\";
  EXPECT_FALSE(IsStorable(newline));
}

}  // namespace
}  // namespace vu::optimizer
