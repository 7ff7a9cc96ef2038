// The DOS attributes of the sandbox machine's files, kept by the sandbox itself in one text file
// at the machine root (attributes.txt) so that they survive a copy of the machine folder.
//
// Only entries that differ from the default are stored, one line each: the attribute bits in
// decimal, a blank, the upper-cased Windows path ("7 C:\MSDOS.SYS"). A file defaults to archive,
// a folder to nothing.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sandbox/file_stamp.h"
#include "platform/status.h"

namespace vu::platform::sandbox {

// The bits a program can set (read-only, hidden, system, archive).
constexpr std::uint32_t kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// The settable bits of an entry nothing was stored for.
std::uint32_t DefaultAttributes(bool isDirectory);
// The attribute word a program sees: the settable bits, plus directory and reparse point, and
// FILE_ATTRIBUTE_NORMAL when nothing else is left.
std::uint32_t ReportedAttributes(std::uint32_t bits, bool isDirectory, bool isLink);

class AttributeStore {
 public:
  // |file| is the host path of the store; it is read on first use.
  explicit AttributeStore(std::string file);
  AttributeStore(const AttributeStore&) = delete;
  AttributeStore& operator=(const AttributeStore&) = delete;

  // Reads the file again when another process has replaced it since it was last read or
  // written here. Called once at the start of each file operation.
  void Refresh();
  // The settable bits of a Windows path (any case), or the default, as of the last Refresh.
  std::uint32_t Get(std::string_view winPath, bool isDirectory) const;
  // Whether anything inside the folder |winPath| has bits stored: a listing of a folder that has
  // none gives every entry the default without a look-up per entry.
  bool AnyWithin(std::string_view winPath) const;
  // Stores |bits| (masked to the settable ones); rewrites the file when anything changed.
  Status Set(std::string_view winPath, std::uint32_t bits, bool isDirectory);
  // Forgets the entries of |winPath| and of everything below it.
  Status Forget(std::string_view winPath);

 private:
  Status Save();

  std::string file_;
  WatchedFile watched_;
  std::optional<FileStamp> loaded_;
  std::map<std::string, std::uint32_t> entries_;  // upper-cased Windows path -> bits
};

}  // namespace vu::platform::sandbox
