// The six fixed tunings of a run. Each writes its values whatever the machine held before and
// reports whether every change it attempted took effect. Four of them tune what only Windows 9x
// reads (the virtual cache, Msdos.sys, the 9x network stack, the CD file system driver): on the
// NT family they change nothing.
#pragma once

#include <cstdint>
#include <string>

#include "optimizer/engine/engine.h"

namespace vu::optimizer {

// The largest "MaxFileCache" written, in kilobytes: the virtual cache gains nothing past
// 512 MB, and a larger figure would not fit the old cache driver.
inline constexpr std::uint64_t kMaxFileCacheLimit = 524288;

// A quarter of the physical memory in kilobytes, at most kMaxFileCacheLimit; 64 MB gives 16384.
std::uint64_t MaxFileCacheFor(std::uint64_t totalPhysBytes);

// Whether the running Windows reads what |step| changes: false for the four Windows 9x tunings
// on the NT family, true for everything else.
bool StepNeeded(vu::platform::System& system, Step step);

// system.ini [vcache]: MinFileCache=1024, MaxFileCache from the physical memory.
bool TuneVirtualCache(Engine& engine);
// Msdos.sys [Options]: BootMenuDelay=1, the file left read-only, hidden and system. The file is
// the one at the root of the Windows folder's drive or, when that drive has none, of the boot
// drive C:; when neither has one it is made at the root of the Windows folder's drive.
bool TuneBootMenuDelay(Engine& engine);
// MaxMTU=576 on every TCP/IP binding of NetTrans, and the MSTCP defaults.
bool TuneTcpIp(Engine& engine);
// The CD file system's cache and prefetch sizes.
bool TuneCdRomCache(Engine& engine);
// The "Windows Startup" selection: nothing to change.
bool TuneStartup(Engine& engine);
// No delay before the start menu's submenus open, for the current user.
bool TuneMenuDelay(Engine& engine);

}  // namespace vu::optimizer
