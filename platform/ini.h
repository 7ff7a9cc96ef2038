// INI text editing with the profile functions' rules, as pure functions over a file's text:
// section and key names compare without regard to case, blanks around names and values do not
// count, lines starting with ';' are comments, and every line not concerned is kept as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vu::platform::ini {

// The text with |key|=|value| in [section], every other byte as it was: an existing entry gets
// the new value in place (the key's spelling, blanks and quotes kept); a missing one is added
// after the section's last non-blank line; a missing section is appended at the end after a blank
// line. New lines end like the line they follow (like the first line after an unterminated last
// line; CRLF in an empty text); a text that did not end with a line end still does not.
// RemoveEntry undoes an addition byte for byte.
std::string SetEntry(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value);

// The text with one more |key|=|value| line in [section], placed as SetEntry places a new entry,
// even when the section has |key| already: WININIT.INI's [rename] section holds one "NUL=" line
// per file to delete, and the profile functions would replace the first.
std::string AddEntry(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value);

// The value of |key| in [section], blanks around it removed and one pair of enclosing quotes
// dropped; nullopt when the section or the entry is missing. The first match counts.
std::optional<std::string> GetEntry(std::string_view text, std::string_view section,
                                    std::string_view key);

// Whether the text has a [section] header.
bool HasSection(std::string_view text, std::string_view section);

// The text without the entry |key| of [section] (the first match); unchanged when there is none.
// With |dropEmptySection|, a section left without entries loses its header too, and the blank
// line before it that SetEntry put there when it appended the section.
std::string RemoveEntry(std::string_view text, std::string_view section, std::string_view key,
                        bool dropEmptySection);

}  // namespace vu::platform::ini
