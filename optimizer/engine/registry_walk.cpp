#include "optimizer/engine/registry_walk.h"

#include <cstdint>

#include "optimizer/engine/missing_file.h"

namespace vu::optimizer {

namespace {

// How one read of a walk ended: go on with the next index, stop, or stop because it failed.
enum class Read { Next, Skip, End, Failed };

Read Classify(vu::platform::Status status) {
  if (status == ERROR_SUCCESS) return Read::Next;
  if (status == ERROR_MORE_DATA) return Read::Skip;
  return IsFailedRead(status) ? Read::Failed : Read::End;
}

}  // namespace

bool ForEachValue(vu::platform::Registry& registry, vu::platform::RootKey root,
                  std::string_view keyPath,
                  const std::function<bool(const common::RegistryEntry& entry)>& visit) {
  for (std::uint32_t index = 0;; ++index) {
    vu::platform::Status status = ERROR_SUCCESS;
    const common::RegistryEntry entry =
        common::EnumRegistryValue(registry, root, keyPath, index, &status);
    switch (Classify(status)) {
      case Read::Skip:
        continue;
      case Read::End:
        return true;
      case Read::Failed:
        return false;
      case Read::Next:
        break;
    }
    if (entry.data == common::kEnumNotFound || !visit(entry)) return true;
  }
}

bool ForEachSubkey(vu::platform::Registry& registry, vu::platform::RootKey root,
                   std::string_view keyPath, const std::function<void(const std::string&)>& visit) {
  for (std::uint32_t index = 0;; ++index) {
    vu::platform::Status status = ERROR_SUCCESS;
    const std::string name = common::EnumRegistryKey(registry, root, keyPath, index, &status);
    switch (Classify(status)) {
      case Read::Skip:
        continue;
      case Read::End:
        return true;
      case Read::Failed:
        return false;
      case Read::Next:
        break;
    }
    if (name == common::kEnumNotFound) return true;
    visit(name);
  }
}

}  // namespace vu::optimizer
