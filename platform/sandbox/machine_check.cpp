#include "platform/sandbox/machine_check.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/sandbox/facts.h"
#include "platform/sandbox/host_io.h"
#include "platform/sandbox/layout.h"
#include "platform/text.h"

namespace vu::platform::sandbox {
namespace {

namespace fs = std::filesystem;

bool Refuse(std::string* error, const std::string& what, std::string_view problem) {
  if (error != nullptr) *error = what + ": " + std::string(problem);
  return false;
}

// Read-only as a user sees it: the system refuses writes, or the folder or file has no write
// permission at all (which a process running as root would otherwise write through).
bool ReadOnly(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;
  return ::access(path.c_str(), W_OK) != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// Every "Name=value" line of [System] that names a fact must hold a value that suits it.
bool CheckFacts(const std::string& text, const std::string& file, std::string* error) {
  bool inSystem = false;
  bool sawSystem = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = Trim(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      inSystem =
          line.back() == ']' && EqualsNoCase(Trim(line.substr(1, line.size() - 2)), kFactsSection);
      sawSystem = sawSystem || inSystem;
      continue;
    }
    if (!inSystem) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      return Refuse(error, file, "\"" + std::string(line) + "\" is not a Name=value line");
    }
    const std::optional<std::string> name = CanonicalFactName(Trim(line.substr(0, equals)));
    if (!name) continue;  // a line for someone else
    const std::string_view value = Trim(line.substr(equals + 1));
    if (!IsValidFactValue(*name, value)) {
      return Refuse(error, file, "bad value for " + *name + ": \"" + std::string(value) + "\"");
    }
  }
  if (!sawSystem) return Refuse(error, file, "no [System] section");
  return true;
}

// A registry database: SQLite, with the registry's schema and its two root keys. Opened without
// SQLITE_OPEN_CREATE and only queried, so that nothing is made in a database that is not one;
// read-write all the same, so that SQLite can recover the log of a writer that was killed.
bool CheckRegistry(const std::string& path, std::string* error) {
  std::string head;
  if (ReadHostFile(path, head, 16) != ERROR_SUCCESS) return Refuse(error, path, "cannot be read");
  if (head.empty()) return Refuse(error, path, "the file is empty");
  if (head != std::string_view("SQLite format 3\0", 16)) {
    return Refuse(error, path, "not a registry database");
  }
  sqlite3* db = nullptr;
  const int opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  int roots = -1;
  if (opened == SQLITE_OK) {
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT count(*) FROM keys WHERE parent = 0 AND folded IN "
                           "('HKEY_LOCAL_MACHINE', 'HKEY_USERS')",
                           -1, &query, nullptr) == SQLITE_OK &&
        sqlite3_step(query) == SQLITE_ROW) {
      roots = sqlite3_column_int(query, 0);
    }
    sqlite3_finalize(query);
  }
  sqlite3_close_v2(db);
  if (roots != 2) return Refuse(error, path, "not a registry database");
  return true;
}

}  // namespace

bool CheckMachineFolder(const std::string& dir, bool forChanges, std::string* error) {
  std::error_code ec;
  if (dir.empty() || !fs::is_directory(dir, ec)) {
    return Refuse(error, dir, "no sandbox machine here (no such folder)");
  }
  const std::string ini = (fs::path(dir) / kMachineIni).string();
  if (!fs::exists(ini, ec)) return Refuse(error, ini, "missing (no sandbox machine here)");
  std::string facts;
  if (!fs::is_regular_file(ini, ec) || ReadHostFile(ini, facts) != ERROR_SUCCESS) {
    return Refuse(error, ini, "cannot be read");
  }
  if (!CheckFacts(facts, ini, error)) return false;

  const std::string registry = (fs::path(dir) / kRegistryDb).string();
  if (!fs::exists(registry, ec)) return Refuse(error, registry, "missing");
  if (!fs::is_regular_file(registry, ec)) return Refuse(error, registry, "not a registry database");
  if (!CheckRegistry(registry, error)) return false;

  const std::string drives = (fs::path(dir) / kDrivesFolder).string();
  if (!fs::is_directory(drives, ec)) return Refuse(error, drives, "missing (no drives folder)");

  if (forChanges) {
    if (ReadOnly(dir)) return Refuse(error, dir, "the machine folder is read-only");
    if (ReadOnly(registry)) return Refuse(error, registry, "the file is read-only");
  }
  return true;
}

}  // namespace vu::platform::sandbox
