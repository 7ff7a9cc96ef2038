#include "platform/files.h"

#include <string>
#include <vector>

#include "platform/text.h"

namespace vu::platform {

Status RemoveMatching(FileSystem& files, std::string_view folder, std::string_view pattern) {
  std::string prefix(folder);
  if (!prefix.empty() && prefix.back() != '\\' && prefix.back() != '/') prefix += '\\';

  // Collect first, then delete, so that the listing never sees its own deletions.
  std::vector<std::string> names;
  FindData entry;
  std::unique_ptr<Listing> listing;
  const Status found = files.FindFirst(prefix + std::string(pattern), entry, listing);
  if (found != ERROR_SUCCESS) return found;
  do {
    if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.name);
  } while (listing->Next(entry));
  listing.reset();

  if (names.empty()) return ERROR_FILE_NOT_FOUND;
  Status first = ERROR_SUCCESS;
  for (const std::string& name : names) {
    const Status s = files.Remove(prefix + name);
    if (s != ERROR_SUCCESS && first == ERROR_SUCCESS) first = s;
  }
  return first;
}

}  // namespace vu::platform
