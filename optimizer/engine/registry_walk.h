// The cleaners' walks over one registry key: its values and its subkeys in index order, through
// the registry layer, telling the end of a list from a read that failed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "common/registry_mod.h"
#include "platform/registry.h"

namespace vu::optimizer {

// Visits the values of |keyPath| from index 0 until the end of the list, the "Not Found" text
// (which the layer cannot tell from the end, so the walk stops there as it always has) or
// |visit| returning false. A value too long for the layer's buffer cannot be a path and is
// passed over. False when a read failed before the walk was over (a key that is not there is
// not a failure: it has nothing to judge).
bool ForEachValue(vu::platform::Registry& registry, vu::platform::RootKey root,
                  std::string_view keyPath,
                  const std::function<bool(const common::RegistryEntry& entry)>& visit);

// The same for the names of the subkeys; a subkey named "Not Found" ends the walk.
bool ForEachSubkey(vu::platform::Registry& registry, vu::platform::RootKey root,
                   std::string_view keyPath, const std::function<void(const std::string&)>& visit);

}  // namespace vu::optimizer
