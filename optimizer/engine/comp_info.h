// compInfoMod: what the Optimizer knows about the machine it runs on. CollectSystemInfo fills
// the state's SystemInfo afresh on every call; the tweaks read the Windows folder and the
// physical memory from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "optimizer/engine/engine.h"
#include "optimizer/engine/state.h"
#include "platform/system.h"

namespace vu::optimizer {

// Fills |info|: the folders first; when the version cannot be had the rest keeps what it held.
// A figure the system does not give is left empty (memory: all zero and empty texts).
void CollectSystemInfo(vu::platform::System& system, const ScreenFigures& screen, SystemInfo& info);
void CollectSystemInfo(Engine& engine);

// Windows NT, 2000 and later (Wine reports itself as one): platform id 2. A version that cannot
// be had counts as Windows 9x, the family the Optimizer was made for.
bool IsNtFamily(vu::platform::System& system);

// "Windows 32s", "Windows 95" (Windows 98 too), "Windows NT" or "Unknown Operating System".
std::string OsName(std::uint32_t platformId);
// "Intel 386", "Intel 486", "Intel Pentium", "MIPS R4000", "DEC Alpha 21064" or
// "Unknown Processor Type".
std::string ProcessorName(std::uint32_t processorType);
// A byte count as whole kilobytes in groups of three digits and a "K": 67108864 gives
// "65,536K", less than 1024 bytes gives "K".
std::string FormatKilobytes(std::uint64_t bytes);

// The logged-on user's name, or "(Unknown)".
std::string GetLoggedUserName(vu::platform::System& system);
// The serial number of the volume whose root is |root| ("C:\"); 0 when it cannot be read.
std::uint32_t GetVolumeSerial(vu::platform::System& system, std::string_view root);
// "Safe Mode", "Safe Mode with Network support" or "Normal startup".
std::string GetBootMode(vu::platform::System& system);
// The screen's resolution in pixels, width "x" height ("800x600").
std::string GetScreenSize(const ScreenFigures& screen);

}  // namespace vu::optimizer
