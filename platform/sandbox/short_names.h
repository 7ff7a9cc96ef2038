// The 8.3 aliases of the sandbox machine's long names, made as Windows 9x makes them and kept in
// one text file at the machine root (shortnames.txt) so that an alias never changes once given.
//
// The file is only ever appended to, one line per change:
//   "PROGRA~1 C:\PROGRAM FILES"   the item (upper-cased Windows path) has this alias;
//   "- C:\PROGRAM FILES"          the item is gone: its alias, and those below it, are free.
// Later lines win over earlier ones.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/sandbox/file_stamp.h"
#include "platform/sandbox/paths.h"
#include "platform/status.h"

namespace vu::platform::sandbox {

// Whether |name| is a valid 8.3 name in any case ("README.TXT", "readme.txt"): such a name is
// its own short name and gets no alias.
bool IsShortName(std::string_view name);
// The alias of the long name |name| with collision number |number|: the first valid characters
// of the part before the last dot, upper-cased, as many as leave room for "~" and the number in
// eight, then the first three valid characters of the extension ("Program Files", 1 ->
// "PROGRA~1"; "Read Me.html", 12 -> "READM~12.HTM").
std::string MakeAlias(std::string_view name, int number);

class ShortNameStore {
 public:
  // |file| is the host path of the store; it is read on first use.
  explicit ShortNameStore(std::string file);
  ShortNameStore(const ShortNameStore&) = delete;
  ShortNameStore& operator=(const ShortNameStore&) = delete;

  // Gives every name of |folder| that needs an alias and has none yet its alias, in the order
  // given (the listing's name order), each with the lowest number that no alias and no 8.3 name
  // of the folder uses. |names| are all the folder's names.
  Status Settle(const WinPath& folder, const std::vector<std::string>& names);
  // Settle for one name just made in |folder|, whose other names all have their aliases:
  // |holds| tells whether the folder holds a name equal to an alias, without regard to case.
  Status SettleOne(const WinPath& folder, std::string_view name,
                   const std::function<bool(std::string_view)>& holds);
  // The alias of |name| in |folder| (empty when it has none), as of the last Settle.
  std::string AliasOf(const WinPath& folder, std::string_view name) const;
  // The long name (upper-cased) that |alias| stands for in |folder|.
  std::optional<std::string> LongNameOf(const WinPath& folder, std::string_view alias) const;
  // Frees the aliases of |item| and of everything below it.
  Status Forget(const WinPath& item);

 private:
  struct Folder {
    std::unordered_map<std::string, std::string> aliasByName;  // upper-cased long name -> alias
    std::unordered_map<std::string, std::string> nameByAlias;  // alias -> upper-cased long name
    // By a name's first alias ("OLDSHO~1.LNK"): every number below this one was found taken. A
    // folder of thousands of like names would otherwise try them all for each new one. Dropped
    // whenever the sandbox frees a name of the folder.
    std::unordered_map<std::string, int> firstFree;
  };
  // The alias of the upper-cased long name |name| with the lowest number that |taken| does not
  // refuse, or empty when none is left.
  std::string FirstFreeAlias(Folder& folder, const std::string& name,
                             const std::function<bool(const std::string&)>& taken);

  // Reads the file again when it changed since it was last read or written here.
  void Refresh();
  void Apply(std::string_view line);
  void Assign(const std::string& folderKey, const std::string& name, const std::string& alias);
  void Erase(const std::string& itemKey);
  Status Append(const std::string& lines);

  std::string file_;
  WatchedFile watched_;
  std::optional<FileStamp> loaded_;
  std::map<std::string, Folder> folders_;  // upper-cased Windows path of the folder -> aliases
};

}  // namespace vu::platform::sandbox
