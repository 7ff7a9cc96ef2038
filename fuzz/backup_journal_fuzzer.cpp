// libFuzzer target for the backup journal's reader: any bytes must be read without touching
// memory outside them; every record read must be whole (its own encoding is where it was read
// from), and a file of those records alone must read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "optimizer/engine/backup_journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vu::optimizer::JournalRecord;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const vu::optimizer::JournalReading reading = vu::optimizer::ReadJournal(bytes);
  std::string again;
  for (const JournalRecord& r : reading.records)
    again += vu::optimizer::EncodeJournalRecord(r.number, r.kind, r.body);
  // Whole records are read from the start, one after the other.
  if (bytes.substr(0, again.size()) != again) std::abort();
  if (again.size() == bytes.size() && (reading.torn || reading.damagedAt)) std::abort();
  if (again.size() != bytes.size() && !reading.torn && !reading.damagedAt) std::abort();
  if (reading.damagedAt && *reading.damagedAt != again.size()) std::abort();
  const vu::optimizer::JournalReading back = vu::optimizer::ReadJournal(again);
  if (back.records.size() != reading.records.size() || back.torn || back.damagedAt) std::abort();
  for (const JournalRecord& r : vu::optimizer::LiveRecords(reading.records)) {
    std::vector<vu::optimizer::FileRecord> records;
    int badLine = 0;
    if (r.kind == JournalRecord::Kind::kFile &&
        vu::optimizer::ParseFileRecords(r.body, records, badLine)) {
      if (vu::optimizer::ParseFileRecords(vu::optimizer::FormatFileRecords(records), records,
                                          badLine) != true) {
        std::abort();
      }
    }
  }
  return 0;
}
