// The installation log: everything the installer placed or created, kept in a subkey of the
// installation record so that it lives exactly as long as the record. The uninstaller removes by
// it: a file only when its size and content hash are still those the installer logged, a folder
// only when the installer created it.
//
// Below "<record>\InstallLog": "Count" holds the number of entries, "1" to "Count" one entry
// each as "file|<bytes>|<hash>|<path>", "shared|<bytes>|<hash>|<path>" (a run-time file other
// programs may use: logged, never removed) or "folder|<path>", in the order they were made.
// "|" cannot occur in a Windows path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"

namespace vu::common {

inline constexpr char kInstallLogKey[] = "InstallLog";

enum class LoggedKind { File, SharedFile, Folder };

struct LogEntry {
  LoggedKind kind = LoggedKind::File;
  std::string path;
  std::uint64_t size = 0;  // files only
  std::string hash;        // files only: ContentHash of the content placed
};

using InstallLog = std::vector<LogEntry>;

inline LogEntry LoggedFolder(std::string path) {
  return LogEntry{LoggedKind::Folder, std::move(path), 0, std::string()};
}

// A 64-bit FNV-1a hash of |bytes| as 16 lower-case hex digits: enough to tell a file the user or
// another program changed from the one placed, and cheap on the product's few files.
std::string ContentHash(std::string_view bytes);

// A file entry for |path| as it is now; nullopt when it cannot be read.
std::optional<LogEntry> FingerprintFile(vu::platform::FileSystem& files, std::string_view path,
                                        LoggedKind kind = LoggedKind::File);
// True when the logged file is there with the logged size and content.
bool IsAsLogged(vu::platform::FileSystem& files, const LogEntry& entry);

std::string FormatLogEntry(const LogEntry& entry);
std::optional<LogEntry> ParseLogEntry(std::string_view text);

// Replaces the log of the record |recordKey| (below HKEY_LOCAL_MACHINE). False when a value
// could not be written.
bool WriteInstallLog(vu::platform::Registry& registry, std::string_view recordKey,
                     const InstallLog& log);
// The record's log; nullopt for a record without one (an older installation's). Entries that
// cannot be read are left out.
std::optional<InstallLog> ReadInstallLog(vu::platform::Registry& registry,
                                         std::string_view recordKey);

}  // namespace vu::common
