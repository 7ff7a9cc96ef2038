// The names of recently searched host folders, so that a lookup that misses the exact spelling
// does not read the whole folder again. Where the host can report a folder's changes (inotify), a
// folder's names are kept true by applying each change reported, the sandbox's own and everyone
// else's, while the folder's inode stays the one read. Otherwise they are trusted while the
// folder's inode and change time stay what they were when they were read, and the sandbox drops
// or re-reads a folder's names itself whenever it changes the folder.
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
  // |watch|: keep names true by the host's reports where it gives them (tests may do without).
  explicit FolderCache(bool watch = true);
  ~FolderCache();
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
  // |name| was just made in, or removed from, |folder| by the sandbox: a folder known here has it
  // or loses it at once; one whose changes are not reported is read again at its next lookup.
  void Added(const std::string& folder, std::string_view name);
  void Removed(const std::string& folder, std::string_view name);
  // The names of |folder| as known here, the sandbox's own changes included, without a look at
  // the host; read when nothing is known of it.
  std::vector<std::string> KnownNames(const std::string& folder);
  // Whether every name known of |folder| has been given its alias (MarkSettled), but for names
  // the sandbox made there since (Added); and whether one of them equals |name| without regard to
  // case. Neither looks at the host.
  bool Settled(const std::string& folder);
  void MarkSettled(const std::string& folder);
  bool Holds(const std::string& folder, std::string_view name) const;

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
    int watch = -1;        // the watch reporting its changes, or -1: trusted by time then
    bool settled = false;  // every name known has had its alias given
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
  // Applies the changes the watches have reported since the last call.
  void Drain();
  void Watch(const std::string& path, Folder& folder);
  void Unwatch(const std::string& path, Folder& folder);
  // Where |name| is or would go in the listing order; whether it is there.
  static std::size_t Position(const Folder& folder, std::string_view name, bool& present);
  // The first of |folder|'s names equal to |name| without regard to case (the byte-wise smallest
  // of them), or its size when none is.
  static std::size_t FirstNoCase(const Folder& folder, std::string_view name);
  static std::vector<std::string> NamesOf(const Folder& folder);
  // Whether |name| was not there before.
  bool Insert(Folder& folder, std::string_view name);
  void Erase(Folder& folder, std::string_view name);
  // |watch|: have the folder's changes reported from now on. Only a folder read again is
  // watched: most are read once, and a watch costs the host as much as a read.
  void Load(const std::string& path, Folder& folder, const struct stat* looked, bool watch);
  void Trim();

  std::unordered_map<std::string, Folder> folders_;
  std::list<const std::string*> uses_;  // the folders' keys, most recently used first
  std::size_t nameCount_ = 0;
  int inotify_ = -1;  // -1 where the host reports no changes
  // The folders each watch serves (a folder reached by two host paths has one watch).
  std::unordered_map<int, std::vector<std::string>> watched_;
};

}  // namespace vu::platform::sandbox
