// The target ID list of a shell link: the shell's item IDs from the desktop down to the target
// (My Computer, the drive, one file-system item per path component).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vu::platform::sandbox::lnk {

// The items of an IDList (item IDs followed by the two-byte terminal ID), each with its size
// field; nullopt when an item runs past the list or the terminal is missing.
std::optional<std::vector<std::string_view>> SplitIdList(std::string_view list);

// The file-system path ("C:\dir\file") the items name, taking long names where the items carry
// them; nullopt when the items do not name a file-system object on a drive.
std::optional<std::string> PathFromIdList(const std::vector<std::string_view>& items);

// The IDList (with its terminal, without the leading size) for an absolute drive path
// "X:\...", as the shell builds it; empty when |target| is not such a path or is too long.
std::string BuildIdList(std::string_view target, bool targetIsFolder);

// A plausible 8.3 short name for a long name ("Program Files" -> "PROGRA~1").
std::string ShortName(std::string_view longName);

}  // namespace vu::platform::sandbox::lnk
