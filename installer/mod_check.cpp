#include "installer/mod_check.h"

#include "platform/status.h"

namespace vu::installer {

std::string GetSpecialFolderPath(vu::platform::Shell& shell, int csidl) {
  std::string path;
  if (shell.SpecialFolderPath(csidl | CSIDL_FLAG_CREATE, path) != ERROR_SUCCESS)
    return std::string();
  // The text up to its first NUL, as the caller's buffer would hold it.
  return path.substr(0, path.find('\0'));
}

}  // namespace vu::installer
