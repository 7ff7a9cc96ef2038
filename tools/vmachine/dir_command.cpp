#include "tools/vmachine/dir_command.h"

#include <cstdio>

#include "platform/sandbox/file_store.h"
#include "platform/text.h"
#include "tools/vmachine/command_support.h"

namespace vu::tools {

int RunDir(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return Complain(err, "dir", "usage: vmachine dir DIR WINPATH");
  if (!CheckMachine(args[0], "dir", err)) return kExitBadInput;
  std::string pattern = args[1];
  const std::size_t cut = pattern.find_last_of("\\/");
  const std::string last = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  if (last.find_first_of("*?") == std::string::npos) {
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
  }
  vu::platform::sandbox::FileStore store(args[0]);
  std::vector<vu::platform::FindData> entries;
  const vu::platform::Status status = store.List(pattern, entries);
  if (status == ERROR_FILE_NOT_FOUND) return kExitDone;  // nothing matches: nothing to show
  if (status != ERROR_SUCCESS) return Complain(err, "dir", args[1] + ": " + Describe(status));
  for (const vu::platform::FindData& entry : entries) {
    // A name that is an 8.3 name already is its own short name.
    const std::string shortName =
        entry.alternateName.empty() ? vu::platform::UpperCase(entry.name) : entry.alternateName;
    char size[24];
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      std::snprintf(size, sizeof size, "%-14s", "<DIR>");
    } else {
      std::snprintf(size, sizeof size, "%14llu", static_cast<unsigned long long>(entry.size));
    }
    char head[16];
    std::snprintf(head, sizeof head, "%-12s", shortName.c_str());
    out << head << " " << size << " " << entry.name << "\n";
  }
  return kExitDone;
}

}  // namespace vu::tools
