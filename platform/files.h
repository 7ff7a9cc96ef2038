// Files and folders, as the programs use them: listings with names and DOS attributes, attribute
// reads and writes, delete, copy, folders, a few whole-file reads and writes, and INI entries.
// Paths are Windows paths in UTF-8 ("C:\WINDOWS\SYSTEM.INI"); '/' is accepted for '\'.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace vu::platform {

// One entry of a directory listing (the parts of WIN32_FIND_DATA the programs use).
struct FindData {
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::string name;
  // The 8.3 alias of a long name (cAlternateFileName); empty when the name is one already.
  std::string alternateName;
};

// An open listing (a find handle). Not copyable; destroying it is FindClose.
class Listing {
 public:
  Listing() = default;
  Listing(const Listing&) = delete;
  Listing& operator=(const Listing&) = delete;
  virtual ~Listing() = default;
  // FindNextFile: false (and the entry untouched) when the listing is exhausted.
  virtual bool Next(FindData& entry) = 0;
};

class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // FindFirstFile on "folder\pattern" (wildcards * and ? in the last part only). On success
  // |first| holds the first entry and |listing| the open listing; otherwise |listing| is null and
  // the status says why (ERROR_FILE_NOT_FOUND: the folder exists but nothing matches).
  virtual Status FindFirst(std::string_view pattern, FindData& first,
                           std::unique_ptr<Listing>& listing) = 0;
  // FindFirst for a walk that reads only the entries' names and attributes: their |size| may be
  // left 0. Windows gives the sizes with the names anyway; the sandbox spares a look at every
  // file for them.
  virtual Status FindFirstNames(std::string_view pattern, FindData& first,
                                std::unique_ptr<Listing>& listing) {
    return FindFirst(pattern, first, listing);
  }

  // GetFileAttributes: the attribute word, or INVALID_FILE_ATTRIBUTES with the reason in |error|.
  virtual std::uint32_t Attributes(std::string_view path, Status* error = nullptr) = 0;
  // SetFileAttributes (read-only, hidden, system, archive; 0 means normal).
  virtual Status SetAttributes(std::string_view path, std::uint32_t attributes) = 0;

  // DeleteFile: a file only; read-only files are refused (ERROR_ACCESS_DENIED).
  virtual Status Remove(std::string_view path) = 0;
  // Deletes a file when Windows next starts, for one that is in use now (a running program):
  // MoveFileEx(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) on NT, a "NUL=<short path>" line in the
  // [rename] section of WININIT.INI on Windows 9x. The file stays until then. On NT (and the
  // sandbox) a folder that will be empty by then can be named too; Windows 9x refuses one.
  virtual Status RemoveAtRestart(std::string_view path) = 0;
  // CopyFile: overwrites an existing target unless |failIfExists|; attributes travel along.
  virtual Status Copy(std::string_view from, std::string_view to, bool failIfExists) = 0;
  // CreateDirectory: one level; ERROR_ALREADY_EXISTS when the name is taken.
  virtual Status MakeDirectory(std::string_view path) = 0;
  // RemoveDirectory: an empty folder only (ERROR_DIR_NOT_EMPTY otherwise).
  virtual Status RemoveDirectory(std::string_view path) = 0;

  // Length in bytes of a file.
  virtual Status Length(std::string_view path, std::uint64_t& length) = 0;
  // The first text line of a file (up to CR, LF or the end; at most 64 KiB are read), as the run
  // time's line input reads it.
  virtual Status ReadFirstLine(std::string_view path, std::string& line) = 0;
  // The whole content of a file.
  virtual Status ReadAll(std::string_view path, std::string& bytes) = 0;
  // Creates or replaces a file with |bytes| (a new file gets the archive attribute).
  virtual Status WriteAll(std::string_view path, std::string_view bytes) = 0;
  // Adds |bytes| at the end of a file (made when missing, archive) and returns only once they
  // are on stable storage, so that a record written this way survives a crash that follows.
  virtual Status Append(std::string_view path, std::string_view bytes) = 0;

  // WritePrivateProfileString: sets |key| = |value| in [section] of an INI file, creating the
  // file and the section when missing and keeping every other line as it was.
  virtual Status WriteProfileString(std::string_view file, std::string_view section,
                                    std::string_view key, std::string_view value) = 0;
  // GetPrivateProfileString for one entry: ERROR_FILE_NOT_FOUND when the file, section or entry
  // is missing.
  virtual Status ReadProfileString(std::string_view file, std::string_view section,
                                   std::string_view key, std::string& value) = 0;

  // Says that the caller is about to Remove each of |paths|, one call each, and changes nothing.
  // A file system that keeps what is removed (the Optimizer's backup) records them all at once,
  // with one flush to the disk instead of one per file; the others have no use for it.
  virtual void ExpectRemovals(const std::vector<std::string>& /*paths*/) {}
};

// Deletes every file (not folder) in |folder| whose name matches |pattern| ("*.*" for all), the
// run time's delete-by-pattern. Goes on past a file it cannot delete; returns the first failure,
// ERROR_FILE_NOT_FOUND when nothing matched.
Status RemoveMatching(FileSystem& files, std::string_view folder, std::string_view pattern);

}  // namespace vu::platform
