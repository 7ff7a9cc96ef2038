#include "common/install_log.h"

#include <charconv>

#include "common/registry_mod.h"
#include "platform/status.h"

namespace vu::common {

namespace {

constexpr char kCountValue[] = "Count";

std::string LogKey(std::string_view recordKey) {
  std::string key(recordKey);
  if (!key.empty() && key.back() != '\\') key += '\\';
  return key + kInstallLogKey;
}

std::optional<std::uint64_t> ParseNumber(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

// The text up to the next "|", which |rest| then starts after.
std::string_view NextField(std::string_view& rest) {
  const std::size_t bar = rest.find('|');
  const std::string_view field = rest.substr(0, bar);
  rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
  return field;
}

bool SetText(vu::platform::Registry& registry, const std::string& key, std::string_view name,
             const std::string& text) {
  return SetRegistryValueInstallerChecked(registry, HKEY_LOCAL_MACHINE, key, name, REG_SZ,
                                          RegistryData(text)) == ERROR_SUCCESS;
}

}  // namespace

std::string ContentHash(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4)
    text[static_cast<std::size_t>(i)] = kDigits[hash & 0xF];
  return text;
}

std::optional<LogEntry> FingerprintFile(vu::platform::FileSystem& files, std::string_view path,
                                        LoggedKind kind) {
  std::string bytes;
  if (files.ReadAll(path, bytes) != ERROR_SUCCESS) return std::nullopt;
  return LogEntry{kind, std::string(path), bytes.size(), ContentHash(bytes)};
}

bool IsAsLogged(vu::platform::FileSystem& files, const LogEntry& entry) {
  if (entry.kind == LoggedKind::Folder) return false;
  std::uint64_t size = 0;
  // The size first: a changed length needs no read of the content.
  if (files.Length(entry.path, size) != ERROR_SUCCESS || size != entry.size) return false;
  const std::optional<LogEntry> now = FingerprintFile(files, entry.path, entry.kind);
  return now && now->size == entry.size && now->hash == entry.hash;
}

std::string FormatLogEntry(const LogEntry& entry) {
  if (entry.kind == LoggedKind::Folder) return "folder|" + entry.path;
  const char* kind = entry.kind == LoggedKind::File ? "file|" : "shared|";
  return kind + std::to_string(entry.size) + "|" + entry.hash + "|" + entry.path;
}

std::optional<LogEntry> ParseLogEntry(std::string_view text) {
  std::string_view rest = text;
  const std::string_view kind = NextField(rest);
  LogEntry entry;
  if (kind == "folder") {
    entry.kind = LoggedKind::Folder;
  } else if (kind == "file" || kind == "shared") {
    entry.kind = kind == "file" ? LoggedKind::File : LoggedKind::SharedFile;
    const std::optional<std::uint64_t> size = ParseNumber(NextField(rest));
    if (!size) return std::nullopt;
    entry.size = *size;
    entry.hash = std::string(NextField(rest));
    if (entry.hash.size() != 16) return std::nullopt;
  } else {
    return std::nullopt;
  }
  if (rest.empty() || rest.find('|') != std::string_view::npos) return std::nullopt;
  entry.path = std::string(rest);
  return entry;
}

bool WriteInstallLog(vu::platform::Registry& registry, std::string_view recordKey,
                     const InstallLog& log) {
  const std::string key = LogKey(recordKey);
  // An earlier installation's entries would otherwise stay behind the new count.
  DeleteRegistryKey(registry, HKEY_LOCAL_MACHINE, key);
  bool written = true;
  for (std::size_t i = 0; i < log.size(); ++i)
    written = SetText(registry, key, std::to_string(i + 1), FormatLogEntry(log[i])) && written;
  // The count last: a log cut short by a failure is read as far as it was written.
  return SetText(registry, key, kCountValue, std::to_string(log.size())) && written;
}

std::optional<InstallLog> ReadInstallLog(vu::platform::Registry& registry,
                                         std::string_view recordKey) {
  const std::string key = LogKey(recordKey);
  const std::optional<std::uint64_t> count =
      ParseNumber(GetRegistryString(registry, HKEY_LOCAL_MACHINE, key, kCountValue));
  if (!count) return std::nullopt;
  InstallLog log;
  for (std::uint64_t i = 1; i <= *count && i <= 10000; ++i) {
    const std::string text =
        GetRegistryString(registry, HKEY_LOCAL_MACHINE, key, std::to_string(i));
    if (std::optional<LogEntry> entry = ParseLogEntry(text)) log.push_back(std::move(*entry));
  }
  return log;
}

}  // namespace vu::common
