#include "common/large_font.h"

namespace vu::common {

VbBool IsLargeFontScreen(vu::platform::System& system) {
  return ToVbBool(system.LogPixelsX() == 120);
}

}  // namespace vu::common
