// libFuzzer target for the sandbox's shortcut reader: any byte string must be rejected or read
// without touching memory outside it, and whatever target is read must survive a trip through
// the writer. The same bytes, taken as a target path, must survive writer and reader too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/sandbox/shell_link.h"
#include "platform/text.h"

namespace {

using vu::platform::sandbox::BuildShellLink;
using vu::platform::sandbox::ReadShellLinkTarget;

void ExpectRoundTrip(std::string_view target) {
  const auto back = ReadShellLinkTarget(BuildShellLink(target, "-x", false));
  if (!back || *back != target) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const auto target = ReadShellLinkTarget(bytes)) ExpectRoundTrip(*target);
  if (vu::platform::IsValidUtf8(bytes) && bytes.find('\0') == std::string_view::npos) {
    ExpectRoundTrip(bytes);
  }
  return 0;
}
