// registryMod: the registry access layer of all three programs. Each operation opens its key,
// does one thing and closes the key again; nothing is kept between calls. Failures are not
// reported except through the not-found texts of the reading operations; the *Checked forms of
// the writing operations also return the status of the first registry call that failed, for the
// callers that must tell whether a change took effect.
//
// Texts are UTF-8. Limits and lengths are those of the ANSI registry calls with 2048-character
// buffers: a text counts one byte per character (AnsiLength), other data its raw bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/registry_data.h"
#include "platform/registry.h"
#include "platform/status.h"

namespace vu::common {

using vu::platform::Registry;
using vu::platform::RootKey;
using vu::platform::Status;

// What GetRegistryString returns when the key or the value cannot be read.
inline constexpr std::string_view kRegistryNotFound = "(Not found)";
// What EnumRegistryKey, and EnumRegistryValue in |data|, return past the last entry or when the
// key cannot be read.
inline constexpr std::string_view kEnumNotFound = "Not Found";
// Size of every read buffer; longer data or names count as not found.
inline constexpr std::size_t kRegistryBufferSize = 2048;

// One value of an enumeration. When |data| is "Not Found", |type| and |name| mean nothing.
struct RegistryEntry {
  std::uint32_t type = 0;
  std::string name;
  std::string data;
};

// One value as text: REG_DWORD as unsigned decimal of at least three digits ("005"), REG_BINARY
// as upper-case hex pairs ("0AFF"), every other type as its data less the last character (the
// terminating NUL). "(Not found)" when the key or value is missing or the data exceeds 2048 bytes.
std::string GetRegistryString(Registry& registry, RootKey root, std::string_view subkey,
                              std::string_view name);

// The Optimizer's writer. Creates every missing key on the path, writes, flushes, closes.
// Type 4: the data converted to a 32-bit integer (0 when it cannot be converted).
// Type 1: the text with a NUL appended. Types 2 and 7: the text as it is.
// Any other type (3 included): the bytes of the text (BytesOfText), under the caller's type.
void SetRegistryValue(Registry& registry, RootKey root, std::string_view subkey,
                      std::string_view name, std::uint32_t type, const RegistryData& data);
Status SetRegistryValueChecked(Registry& registry, RootKey root, std::string_view subkey,
                               std::string_view name, std::uint32_t type, const RegistryData& data);

// Install's writer: like SetRegistryValue, but every value not of type 4 is stored as REG_SZ
// whatever type the caller gave; the NUL is still appended only for type 1.
void SetRegistryValueInstaller(Registry& registry, RootKey root, std::string_view subkey,
                               std::string_view name, std::uint32_t type, const RegistryData& data);
Status SetRegistryValueInstallerChecked(Registry& registry, RootKey root, std::string_view subkey,
                                        std::string_view name, std::uint32_t type,
                                        const RegistryData& data);

// Deletes the key |subkey| of |root| with everything below it. An empty path (or one made of
// backslashes only) deletes nothing: a whole root is never removed.
void DeleteRegistryKey(Registry& registry, RootKey root, std::string_view subkey);
Status DeleteRegistryKeyChecked(Registry& registry, RootKey root, std::string_view subkey);

void DeleteRegistryValue(Registry& registry, RootKey root, std::string_view subkey,
                         std::string_view name);
Status DeleteRegistryValueChecked(Registry& registry, RootKey root, std::string_view subkey,
                                  std::string_view name);

// The name of the subkey at |index| (from 0), or "Not Found". When |status| is given it receives
// why: ERROR_SUCCESS, ERROR_NO_MORE_ITEMS past the last one, ERROR_MORE_DATA for a name too long
// for the buffer, or the status of the failed open or read (for callers that must tell the end
// of a list from a read that failed).
std::string EnumRegistryKey(Registry& registry, RootKey root, std::string_view subkey,
                            std::uint32_t index, Status* status = nullptr);

// The value at |index| (from 0): its type, its name and its data as text (REG_DWORD as in
// GetRegistryString, every other type its data less the last character, so binary data comes
// back as the characters of its bytes less the last byte); data "Not Found" past the end.
// |status| as for EnumRegistryKey (ERROR_MORE_DATA also for data too long for the buffer).
RegistryEntry EnumRegistryValue(Registry& registry, RootKey root, std::string_view subkey,
                                std::uint32_t index, Status* status = nullptr);

}  // namespace vu::common
