#include "platform/sandbox/short_names.h"

#include <unordered_set>

#include "platform/sandbox/host_io.h"
#include "platform/text.h"

namespace vu::platform::sandbox {
namespace {

constexpr std::size_t kBaseLength = 8;
constexpr std::size_t kExtensionLength = 3;
constexpr int kLastNumber = 999999;

// The characters an 8.3 name may hold besides letters and digits. Characters outside ASCII are
// left out: their upper case depends on a code page the sandbox does not have.
bool IsValidCharacter(char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("$%'-_@~`!(){}^#&").find(c) != std::string_view::npos;
}

bool AllValid(std::string_view text) {
  for (const char c : text) {
    if (!IsValidCharacter(c)) return false;
  }
  return true;
}

std::string ValidUpper(std::string_view text, std::size_t limit) {
  std::string kept;
  for (const char c : text) {
    if (kept.size() == limit) break;
    if (IsValidCharacter(c)) kept += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  }
  return kept;
}

// The store's line giving |name| (upper-cased) in the folder |folderKey| its alias.
std::string AliasLine(const std::string& alias, const std::string& folderKey,
                      const std::string& name) {
  return alias + " " + folderKey + (folderKey.back() == '\\' ? "" : "\\") + name + "\n";
}

std::string KeyOf(const WinPath& path) {
  return UpperCase(path.ToString());
}

// The folder part and the name part of an item's key ("C:\A\B" -> "C:\A", "B"; "C:\A" -> "C:\").
bool SplitKey(std::string_view key, std::string& folder, std::string& name) {
  const std::size_t cut = key.rfind('\\');
  if (cut == std::string_view::npos || cut < 2 || cut + 1 == key.size()) return false;
  folder = std::string(key.substr(0, cut == 2 ? 3 : cut));
  name = std::string(key.substr(cut + 1));
  return true;
}

}  // namespace

bool IsShortName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  const std::size_t dot = name.find('.');
  const std::string_view base = name.substr(0, dot);
  if (base.empty() || base.size() > kBaseLength || !AllValid(base)) return false;
  if (dot == std::string_view::npos) return true;
  const std::string_view extension = name.substr(dot + 1);
  return !extension.empty() && extension.size() <= kExtensionLength && AllValid(extension);
}

std::string MakeAlias(std::string_view name, int number) {
  const std::string tail = "~" + std::to_string(number);
  const std::size_t dot = name.rfind('.');
  std::string alias = ValidUpper(name.substr(0, dot), kBaseLength - tail.size()) + tail;
  if (dot != std::string_view::npos) {
    const std::string extension = ValidUpper(name.substr(dot + 1), kExtensionLength);
    if (!extension.empty()) alias += "." + extension;
  }
  return alias;
}

ShortNameStore::ShortNameStore(std::string file) : file_(std::move(file)), watched_(file_) {}

void ShortNameStore::Refresh() {
  const FileStamp now = watched_.Stamp();
  if (loaded_ && *loaded_ == now) return;
  folders_.clear();
  loaded_ = now;
  if (!now.exists) return;
  // A read that fails half-way leaves no aliases, as one that fails at once does.
  if (ForEachHostLine(file_, [this](std::string_view line) { Apply(line); }) != ERROR_SUCCESS)
    folders_.clear();
}

void ShortNameStore::Apply(std::string_view line) {
  if (line.empty() || line.front() == '#') return;
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos || blank == 0) return;  // not ours: skipped
  const std::string_view first = line.substr(0, blank);
  const std::string key = UpperCase(line.substr(blank + 1));
  if (first == "-") {
    Erase(key);
    return;
  }
  std::string folder;
  std::string name;
  if (!IsShortName(first) || !SplitKey(key, folder, name)) return;
  Assign(folder, name, UpperCase(first));
}

void ShortNameStore::Assign(const std::string& folderKey, const std::string& name,
                            const std::string& alias) {
  Folder& folder = folders_[folderKey];
  const auto old = folder.aliasByName.find(name);
  if (old != folder.aliasByName.end()) folder.nameByAlias.erase(old->second);
  const auto taken = folder.nameByAlias.find(alias);
  if (taken != folder.nameByAlias.end()) folder.aliasByName.erase(taken->second);
  folder.aliasByName[name] = alias;
  folder.nameByAlias[alias] = name;
}

void ShortNameStore::Erase(const std::string& itemKey) {
  std::string folderKey;
  std::string name;
  if (SplitKey(itemKey, folderKey, name)) {
    const auto folder = folders_.find(folderKey);
    if (folder != folders_.end()) {
      folder->second.firstFree.clear();
      const auto found = folder->second.aliasByName.find(name);
      if (found != folder->second.aliasByName.end()) {
        folder->second.nameByAlias.erase(found->second);
        folder->second.aliasByName.erase(found);
      }
    }
  }
  // The folders below it: "C:\A" itself and "C:\A\..." (but not the sibling "C:\A B").
  for (auto it = folders_.lower_bound(itemKey);
       it != folders_.end() && it->first.compare(0, itemKey.size(), itemKey) == 0;) {
    if (it->first.size() == itemKey.size() || it->first[itemKey.size()] == '\\') {
      it = folders_.erase(it);
    } else {
      ++it;
    }
  }
}

Status ShortNameStore::Append(const std::string& lines) {
  const bool current = loaded_ && *loaded_ == watched_.Stamp();
  const Status status = AppendHostFile(file_, lines);
  // What was in memory is the file's content only when no one else wrote in between.
  if (status == ERROR_SUCCESS && current) {
    loaded_ = watched_.Stamp();
  } else {
    loaded_.reset();
  }
  return status;
}

Status ShortNameStore::Settle(const WinPath& folder, const std::vector<std::string>& names) {
  Refresh();
  const std::string folderKey = KeyOf(folder);
  std::vector<std::string> pending;
  std::unordered_set<std::string> seen;  // names differing only in case share one alias
  const auto known = folders_.find(folderKey);
  for (const std::string& name : names) {
    if (IsShortName(name)) continue;
    std::string upper = UpperCase(name);
    if (known != folders_.end() && known->second.aliasByName.count(upper) != 0) continue;
    if (seen.insert(upper).second) pending.push_back(std::move(upper));
  }
  if (pending.empty()) return ERROR_SUCCESS;

  std::unordered_set<std::string> taken;
  for (const std::string& name : names) {
    if (IsShortName(name)) taken.insert(UpperCase(name));
  }
  Folder& aliases = folders_[folderKey];
  for (const auto& [alias, name] : aliases.nameByAlias)
    taken.insert(alias);
  std::string lines;
  for (const std::string& name : pending) {
    std::string alias = FirstFreeAlias(aliases, name, [&taken](const std::string& candidate) {
      return taken.count(candidate) != 0;
    });
    if (alias.empty()) continue;
    taken.insert(alias);
    lines += AliasLine(alias, folderKey, name);
    Assign(folderKey, name, alias);
  }
  return Append(lines);
}

Status ShortNameStore::SettleOne(const WinPath& folder, std::string_view name,
                                 const std::function<bool(std::string_view)>& holds) {
  if (IsShortName(name)) return ERROR_SUCCESS;
  Refresh();
  const std::string folderKey = KeyOf(folder);
  const std::string upper = UpperCase(name);
  Folder& aliases = folders_[folderKey];
  if (aliases.aliasByName.count(upper) != 0) return ERROR_SUCCESS;
  const std::string alias = FirstFreeAlias(aliases, upper, [&](const std::string& candidate) {
    return aliases.nameByAlias.count(candidate) != 0 || holds(candidate);
  });
  if (alias.empty()) return ERROR_SUCCESS;
  Assign(folderKey, upper, alias);
  return Append(AliasLine(alias, folderKey, upper));
}

std::string ShortNameStore::FirstFreeAlias(Folder& folder, const std::string& name,
                                           const std::function<bool(const std::string&)>& taken) {
  int& first = folder.firstFree[MakeAlias(name, 1)];
  for (int number = std::max(first, 1); number <= kLastNumber; ++number) {
    std::string alias = MakeAlias(name, number);
    if (taken(alias)) continue;
    first = number + 1;
    return alias;
  }
  return std::string();
}

std::string ShortNameStore::AliasOf(const WinPath& folder, std::string_view name) const {
  const auto known = folders_.find(KeyOf(folder));
  if (known == folders_.end()) return std::string();
  const auto found = known->second.aliasByName.find(UpperCase(name));
  return found == known->second.aliasByName.end() ? std::string() : found->second;
}

std::optional<std::string> ShortNameStore::LongNameOf(const WinPath& folder,
                                                      std::string_view alias) const {
  const auto known = folders_.find(KeyOf(folder));
  if (known == folders_.end()) return std::nullopt;
  const auto found = known->second.nameByAlias.find(UpperCase(alias));
  if (found == known->second.nameByAlias.end()) return std::nullopt;
  return found->second;
}

Status ShortNameStore::Forget(const WinPath& item) {
  if (item.IsRoot()) return ERROR_SUCCESS;
  Refresh();
  const std::string key = KeyOf(item);
  std::string folderKey;
  std::string name;
  bool known = false;
  if (SplitKey(key, folderKey, name)) {
    const auto folder = folders_.find(folderKey);
    // Whatever went, a number it held as its 8.3 name may be free again.
    if (folder != folders_.end()) folder->second.firstFree.clear();
    known = folder != folders_.end() && folder->second.aliasByName.count(name) != 0;
  }
  const auto below = folders_.lower_bound(key);
  known = known || (below != folders_.end() && below->first.compare(0, key.size(), key) == 0);
  if (!known) return ERROR_SUCCESS;
  Erase(key);
  return Append("- " + key + "\n");
}

}  // namespace vu::platform::sandbox
