// The Reg* calls with UTF-8 names and the seam's value data, in the Windows family's own form:
// the wide functions on NT, the ANSI ones (text in the ANSI code page) on Windows 9x. Under WOW64
// every key is opened in the 64-bit view, where the system keeps the machine's own keys.
// Include <windows.h> (through a .cpp of this folder) before this header.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32/handles.h"

namespace vu::platform::win32 {

LSTATUS OpenKeyIn(HKEY parent, std::string_view path, REGSAM access, KeyHandle& key);
LSTATUS CreateKeyIn(HKEY parent, std::string_view path, REGSAM access, KeyHandle& key);
// |parent|'s subkey |path|, which must have no subkeys left.
LSTATUS DeleteKeyIn(HKEY parent, std::string_view path);

// Text types as UTF-8, every stored character kept (NULs too); other types as stored.
LSTATUS QueryValueOf(HKEY key, std::string_view name, DWORD& type, std::string& data);
LSTATUS SetValueOf(HKEY key, std::string_view name, DWORD type, std::string_view data);
LSTATUS DeleteValueOf(HKEY key, std::string_view name);
LSTATUS EnumKeyOf(HKEY key, DWORD index, std::string& name);
LSTATUS EnumValueOf(HKEY key, DWORD index, std::string& name, DWORD& type, std::string& data);

}  // namespace vu::platform::win32
