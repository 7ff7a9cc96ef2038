#pragma once
// UTF-8 source text to the Windows-1252 code page of the help file.

#include <optional>
#include <string>
#include <string_view>

namespace vu::helpc {

// The text in Windows-1252, or nothing when it holds a character the code page lacks (or is
// not UTF-8); then `bad` names the first offending character ("U+2192" or "invalid UTF-8").
std::optional<std::string> ToWindows1252(std::string_view utf8, std::string* bad = nullptr);

}  // namespace vu::helpc
