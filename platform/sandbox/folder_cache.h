// The names of recently searched host folders, so that a lookup that misses the exact spelling
// does not read the whole folder again. A folder's names are trusted while the folder's inode and
// change time stay what they were when they were read; the sandbox also drops a folder's names
// itself whenever it changes the folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The host's stat record: only pointers to it are passed here.
struct stat;

namespace vu::platform::sandbox {

// The positions of |names| in listing order: without regard to case, byte-wise among names equal
// but for case. Each name is upper-cased once, not at every comparison: folders of thousands of
// names are common.
std::vector<std::size_t> ListingOrder(const std::vector<std::string>& names);

class FolderCache {
 public:
  FolderCache() = default;
  FolderCache(const FolderCache&) = delete;
  FolderCache& operator=(const FolderCache&) = delete;

  // The host name in |folder| equal to |name| without regard to case; when the host holds
  // several, the byte-wise smallest, so that the choice does not depend on directory order.
  // |looked| is the folder's own stat when the caller has just taken it (it saves one).
  bool FindNoCase(const std::string& folder, std::string_view name, std::string& found,
                  const struct stat* looked = nullptr);
  // Every name of |folder| in listing order (case-insensitive); empty when it cannot be read.
  std::vector<std::string> Names(const std::string& folder);
  // Drops what is known of |folder|.
  void Forget(const std::string& folder);
  // |name| was just made in |folder| by the sandbox: a folder known here gets it at once, and its
  // names are read again at its next lookup, as after any change.
  void Added(const std::string& folder, std::string_view name);
  // The names of |folder| as known here, the sandbox's own changes included, without a look at
  // the host; read when nothing is known of it.
  std::vector<std::string> KnownNames(const std::string& folder);

 private:
  struct Time {
    long long seconds = 0, nanoseconds = 0;
    bool operator==(const Time&) const = default;
    bool operator<(const Time& other) const {
      return seconds != other.seconds ? seconds < other.seconds : nanoseconds < other.nanoseconds;
    }
  };
  // A folder's names in listing order, which is also the order searched: one text holding them
  // all, and where each ends (a big drive has tens of thousands of folders known here).
  struct Folder {
    unsigned long long inode = 0;
    Time changed;
    bool trusted = false;  // read after the change time's clock tick had passed
    std::string names;
    std::vector<std::uint32_t> ends;
    std::list<const std::string*>::iterator use;

    std::size_t size() const { return ends.size(); }
    std::string_view Name(std::size_t i) const {
      const std::size_t start = i == 0 ? 0 : ends[i - 1];
      return std::string_view(names).substr(start, ends[i] - start);
    }
  };

  Folder* Get(const std::string& folder, const struct stat* looked);
  void Load(const std::string& path, Folder& folder, const struct stat* looked);
  void Trim();

  std::unordered_map<std::string, Folder> folders_;
  std::list<const std::string*> uses_;  // the folders' keys, most recently used first
  std::size_t nameCount_ = 0;
};

}  // namespace vu::platform::sandbox
