// The large-font probe every form runs at load to choose its artwork.
#pragma once

#include "common/vb.h"
#include "platform/system.h"

namespace vu::common {

// True when the desktop runs at exactly 120 logical pixels per inch horizontally; 96, 144 or an
// unreadable value (0) all give False. The screen size is not looked at.
VbBool IsLargeFontScreen(vu::platform::System& system);

}  // namespace vu::common
