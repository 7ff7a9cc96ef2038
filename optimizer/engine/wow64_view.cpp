#include "optimizer/engine/wow64_view.h"

#include "platform/text.h"

namespace vu::optimizer {

namespace {

constexpr std::string_view kNode = "Wow6432Node";
constexpr std::string_view kSoftware = "Software\\";

}  // namespace

bool InWow64View(std::string_view keyPath) {
  std::size_t start = 0;
  while (start <= keyPath.size()) {
    std::size_t end = keyPath.find('\\', start);
    if (end == std::string_view::npos) end = keyPath.size();
    if (vu::platform::EqualsNoCase(keyPath.substr(start, end - start), kNode)) return true;
    start = end + 1;
  }
  return false;
}

std::string Wow64Twin(std::string_view softwareKeyPath) {
  if (!vu::platform::EqualsNoCase(softwareKeyPath.substr(0, kSoftware.size()), kSoftware)) {
    return std::string(softwareKeyPath);
  }
  return std::string(kSoftware) + std::string(kNode) + "\\" +
         std::string(softwareKeyPath.substr(kSoftware.size()));
}

std::string As32BitProgramsSeeIt(vu::platform::System& system, std::string_view text) {
  const std::string wow64 = system.SystemWow64Directory();
  if (wow64.empty()) return std::string(text);
  const std::string native = system.SystemDirectory();
  if (native.empty() || text.size() < native.size() ||
      !vu::platform::EqualsNoCase(text.substr(0, native.size()), native)) {
    return std::string(text);
  }
  // Only the whole folder: "C:\WINDOWS\system32x" is another folder.
  if (text.size() > native.size() && text[native.size()] != '\\' && text[native.size()] != '/') {
    return std::string(text);
  }
  return wow64 + std::string(text.substr(native.size()));
}

}  // namespace vu::optimizer
