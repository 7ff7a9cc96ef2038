// The records of one backup and the journal file that holds them. The journal is only ever
// appended to, one record per change, each flushed to the disk before the change is let through;
// so after a crash at any moment it holds every change that took effect, and at most one torn
// record at its end, for a change that was never made.
//
//   #12 file 58 1c2d3e4f          number, kind, body length, CRC-32 of the body (hexadecimal)
//   file<TAB>32<TAB>C:\WINDOWS\DESKTOP\Old.lnk<TAB>Shortcuts\C\WINDOWS\DESKTOP\Old.lnk
//   (blank line)
//
// A "registry" body is REGEDIT4 text that undoes one change (without the REGEDIT4 line); a
// "file" body is one line of the files list below; a "void" body is the number of an earlier
// record whose change did not happen after all, or was taken back by the run itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vu::optimizer {

// One change to a file, a folder, a profile entry or attributes, as restore undoes it.
struct FileRecord {
  enum class Kind {
    kFile,        // a file removed or replaced: |copy| holds its bytes, |attributes| its attributes
    kFolder,      // an empty folder removed
    kAttributes,  // attributes changed from |attributes|
    kEntry,       // a profile entry written: |value| held before, or none
    kNewFile,     // a file that did not exist was made
    kNewFolder,   // a folder that did not exist was made
  };
  Kind kind = Kind::kFile;
  std::string path;
  std::uint32_t attributes = 0;
  std::string copy;  // kFile: below the backup folder
  std::string section, key;
  std::optional<std::string> value;
  bool sectionExisted = true;  // kEntry without a value: whether [section] was there
};

// Whether every field can be stored on one tab-separated line.
bool IsStorable(const FileRecord& record);
// The files list's text for |records| (one CRLF-ended line each), and back.
std::string FormatFileRecords(const std::vector<FileRecord>& records);
bool ParseFileRecords(std::string_view text, std::vector<FileRecord>& records, int& badLine);

struct JournalRecord {
  enum class Kind { kRegistry, kFile, kVoid };
  std::uint32_t number = 0;  // 1, 2, 3, ... in the order written
  Kind kind = Kind::kFile;
  std::string body;
};

// The bytes one record adds to the journal.
std::string EncodeJournalRecord(std::uint32_t number, JournalRecord::Kind kind,
                                std::string_view body);

struct JournalReading {
  std::vector<JournalRecord> records;  // every whole record, void ones included
  bool torn = false;                   // the end held part of a record, left out
  // A record that is neither whole nor the last thing in the file: what follows it cannot be
  // trusted and is left out.
  std::optional<std::size_t> damagedAt;
};

JournalReading ReadJournal(std::string_view bytes);

// The records whose changes stand: void records and the ones they name left out.
std::vector<JournalRecord> LiveRecords(const std::vector<JournalRecord>& records);

std::uint32_t Crc32(std::string_view bytes);

}  // namespace vu::optimizer
