#include "common/special_folders.h"

#include "platform/status.h"

namespace vu::common {

std::string GetSpecialFolderPath(vu::platform::Shell& shell, int csidl) {
  std::string path;
  if (shell.SpecialFolderPath(csidl | CSIDL_FLAG_CREATE, path) != ERROR_SUCCESS)
    return std::string();
  // The text up to its first NUL, as the caller's buffer would hold it.
  return path.substr(0, path.find('\0'));
}

}  // namespace vu::common
