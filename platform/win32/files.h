// Files and folders through the wide-character file functions; long paths get the "\\?\" form.
#pragma once

#include <memory>

#include "platform/files.h"

namespace vu::platform::win32 {

std::unique_ptr<FileSystem> MakeFileSystem();

}  // namespace vu::platform::win32
