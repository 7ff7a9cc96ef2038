// The programs' 16-bit booleans: True is -1, False is 0, and any non-zero value counts as set.
#pragma once

#include <cstdint>

namespace vu::common {

using VbBool = std::int16_t;

inline constexpr VbBool kTrue = -1;
inline constexpr VbBool kFalse = 0;

constexpr VbBool ToVbBool(bool value) {
  return value ? kTrue : kFalse;
}
constexpr bool IsSet(VbBool value) {
  return value != 0;
}

}  // namespace vu::common
