#include <windows.h>

#include "platform/win32/files.h"

#include <algorithm>
#include <vector>

#include "platform/ini.h"
#include "platform/win32/family.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace vu::platform::win32 {
namespace {

constexpr DWORD kFirstLineLimit = 64 * 1024;
// GetPrivateProfileString cannot say "missing": a default no INI file holds tells it instead.
constexpr wchar_t kMissingSentinel[] = L"\x01\x02vu-missing\x02\x01";
constexpr char kMissingSentinelA[] = "\x01\x02vu-missing\x02\x01";

void Fill(const WIN32_FIND_DATAW& data, FindData& entry) {
  entry.attributes = data.dwFileAttributes;
  entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  entry.name = NarrowZ(data.cFileName);
  entry.alternateName = NarrowZ(data.cAlternateFileName);
}

void Fill(const WIN32_FIND_DATAA& data, FindData& entry) {
  entry.attributes = data.dwFileAttributes;
  entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  entry.name = FromAnsiZ(data.cFileName);
  entry.alternateName = FromAnsiZ(data.cAlternateFileName);
}

// The wide or the ANSI form of a path call, as the Windows family asks.
template <typename WideCall, typename AnsiCall>
auto PathCall(std::string_view path, WideCall wide, AnsiCall ansi) {
  return WideCalls() ? wide(WidePath(path).c_str()) : ansi(AnsiPath(path).c_str());
}

// GetPrivateProfileString tells a value cut short only by filling the whole buffer: |get| is
// asked again with a larger one until the value fits. |take| receives the value when there is one.
template <typename Char, typename Get, typename Take>
Status ReadProfileText(Get get, const Char* missing, Take take) {
  std::vector<Char> buffer(1024);
  for (;;) {
    const DWORD length = get(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length + 1 >= buffer.size() && buffer.size() < (1u << 20)) {
      buffer.resize(buffer.size() * 4);
      continue;
    }
    const std::basic_string_view<Char> text(buffer.data(), length);
    if (text == missing) return ERROR_FILE_NOT_FOUND;
    take(text);
    return ERROR_SUCCESS;
  }
}

// Windows 9x wants no FILE_SHARE_DELETE (it fails the call with ERROR_INVALID_PARAMETER).
DWORD ShareAll() {
  return FILE_SHARE_READ | FILE_SHARE_WRITE | (WideCalls() ? FILE_SHARE_DELETE : 0);
}

FileHandle Open(std::string_view path, DWORD access, DWORD share, DWORD disposition,
                DWORD attributes) {
  return FileHandle(PathCall(
      path,
      [&](const wchar_t* p) {
        return ::CreateFileW(p, access, share, nullptr, disposition, attributes, nullptr);
      },
      [&](const char* p) {
        return ::CreateFileA(p, access, share, nullptr, disposition, attributes, nullptr);
      }));
}

FileHandle OpenForReading(std::string_view path) {
  return Open(path, GENERIC_READ, ShareAll(), OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

// Reads up to |limit| bytes (everything when 0) from the file's start.
Status ReadFrom(const FileHandle& file, DWORD limit, std::string& bytes) {
  bytes.clear();
  char chunk[16384];
  for (;;) {
    DWORD want = sizeof chunk;
    if (limit != 0) {
      if (bytes.size() >= limit) break;
      want = std::min<DWORD>(want, limit - static_cast<DWORD>(bytes.size()));
    }
    DWORD got = 0;
    if (!::ReadFile(file.get(), chunk, want, &got, nullptr)) return LastError();
    if (got == 0) break;
    bytes.append(chunk, got);
  }
  return ERROR_SUCCESS;
}

// Writes all of |bytes| at the file's position, in pieces of at most 1 MB.
Status WriteOut(const FileHandle& file, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    DWORD wrote = 0;
    if (!::WriteFile(file.get(), bytes.data() + done, want, &wrote, nullptr)) return LastError();
    // A write that succeeds with nothing written (a full disk on some redirectors) would repeat
    // for ever: it is a failure to write.
    if (wrote == 0) return ERROR_WRITE_FAULT;
    done += wrote;
  }
  return ERROR_SUCCESS;
}

class Win32Listing final : public Listing {
 public:
  explicit Win32Listing(FindHandle find) : find_(std::move(find)) {}

  bool Next(FindData& entry) override {
    const RealSystemFolder real;
    if (WideCalls()) {
      WIN32_FIND_DATAW data{};
      if (!::FindNextFileW(find_.get(), &data)) return false;
      Fill(data, entry);
    } else {
      WIN32_FIND_DATAA data{};
      if (!::FindNextFileA(find_.get(), &data)) return false;
      Fill(data, entry);
    }
    return true;
  }

 private:
  FindHandle find_;
};

class Win32FileSystem final : public FileSystem {
 public:
  Status FindFirst(std::string_view pattern, FindData& first,
                   std::unique_ptr<Listing>& listing) override {
    listing.reset();
    const RealSystemFolder real;
    FindHandle find;
    if (WideCalls()) {
      WIN32_FIND_DATAW data{};
      find = FindHandle(::FindFirstFileW(WidePath(pattern).c_str(), &data));
      if (find.valid()) Fill(data, first);
    } else {
      WIN32_FIND_DATAA data{};
      find = FindHandle(::FindFirstFileA(AnsiPath(pattern).c_str(), &data));
      if (find.valid()) Fill(data, first);
    }
    if (!find.valid()) return LastError();
    listing = std::make_unique<Win32Listing>(std::move(find));
    return ERROR_SUCCESS;
  }

  std::uint32_t Attributes(std::string_view path, Status* error) override {
    const RealSystemFolder real;
    const DWORD attributes = PathCall(path, ::GetFileAttributesW, ::GetFileAttributesA);
    if (error != nullptr) {
      *error = attributes == INVALID_FILE_ATTRIBUTES ? LastError() : ERROR_SUCCESS;
    }
    return attributes;
  }

  Status SetAttributes(std::string_view path, std::uint32_t attributes) override {
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    const RealSystemFolder real;
    return PathCall(
               path, [&](const wchar_t* p) { return ::SetFileAttributesW(p, attributes); },
               [&](const char* p) { return ::SetFileAttributesA(p, attributes); })
               ? ERROR_SUCCESS
               : LastError();
  }

  Status Remove(std::string_view path) override {
    const RealSystemFolder real;
    return PathCall(path, ::DeleteFileW, ::DeleteFileA) ? ERROR_SUCCESS : LastError();
  }

  Status RemoveAtRestart(std::string_view path) override {
    if (!WideCalls()) return RemoveAtRestartFromWininit(path);
    // Windows 9x has no MoveFileExW at all, not even a stub: looked up, and only on NT.
    using MoveFileExFunction = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
    const auto moveFileEx = FindFunction<MoveFileExFunction>("kernel32.dll", "MoveFileExW");
    if (moveFileEx == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
    const RealSystemFolder real;
    return moveFileEx(WidePath(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)
               ? ERROR_SUCCESS
               : LastError();
  }

  Status Copy(std::string_view from, std::string_view to, bool failIfExists) override {
    const RealSystemFolder real;
    const BOOL copied =
        WideCalls() ? ::CopyFileW(WidePath(from).c_str(), WidePath(to).c_str(), failIfExists)
                    : ::CopyFileA(AnsiPath(from).c_str(), AnsiPath(to).c_str(), failIfExists);
    return copied ? ERROR_SUCCESS : LastError();
  }

  Status MakeDirectory(std::string_view path) override {
    const RealSystemFolder real;
    return PathCall(
               path, [](const wchar_t* p) { return ::CreateDirectoryW(p, nullptr); },
               [](const char* p) { return ::CreateDirectoryA(p, nullptr); })
               ? ERROR_SUCCESS
               : LastError();
  }

  Status RemoveDirectory(std::string_view path) override {
    const RealSystemFolder real;
    return PathCall(path, ::RemoveDirectoryW, ::RemoveDirectoryA) ? ERROR_SUCCESS : LastError();
  }

  Status Length(std::string_view path, std::uint64_t& length) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const RealSystemFolder real;
    if (!PathCall(
            path,
            [&](const wchar_t* p) {
              return ::GetFileAttributesExW(p, GetFileExInfoStandard, &data);
            },
            [&](const char* p) {
              return ::GetFileAttributesExA(p, GetFileExInfoStandard, &data);
            })) {
      return LastError();
    }
    length = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return ERROR_SUCCESS;
  }

  Status ReadFirstLine(std::string_view path, std::string& line) override {
    const RealSystemFolder real;
    const FileHandle file = OpenForReading(path);
    if (!file.valid()) return LastError();
    std::string bytes;
    const Status status = ReadFrom(file, kFirstLineLimit, bytes);
    if (status != ERROR_SUCCESS) return status;
    line = bytes.substr(0, bytes.find_first_of("\r\n"));
    return ERROR_SUCCESS;
  }

  Status ReadAll(std::string_view path, std::string& bytes) override {
    const RealSystemFolder real;
    const FileHandle file = OpenForReading(path);
    if (!file.valid()) return LastError();
    return ReadFrom(file, 0, bytes);
  }

  Status WriteAll(std::string_view path, std::string_view bytes) override {
    const RealSystemFolder real;
    // Checked here too because a process with root rights under Wine could write anyway.
    const DWORD attributes = PathCall(path, ::GetFileAttributesW, ::GetFileAttributesA);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
      return ERROR_ACCESS_DENIED;
    }
    // OPEN_ALWAYS and truncating, not CREATE_ALWAYS: that one refuses to replace a hidden or
    // system file (Msdos.sys) unless the same attributes are passed in.
    const FileHandle file =
        Open(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS, FILE_ATTRIBUTE_ARCHIVE);
    if (!file.valid() || !::SetEndOfFile(file.get())) return LastError();
    return WriteOut(file, bytes);
  }

  Status Append(std::string_view path, std::string_view bytes) override {
    const RealSystemFolder real;
    const DWORD attributes = PathCall(path, ::GetFileAttributesW, ::GetFileAttributesA);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
      return ERROR_ACCESS_DENIED;
    }
    // FILE_APPEND_DATA alone: every write goes to the end, whatever else has the file open.
    // Windows 9x knows no such right: there the end is sought once.
    const FileHandle file = Open(path, WideCalls() ? FILE_APPEND_DATA : GENERIC_WRITE,
                                 FILE_SHARE_READ, OPEN_ALWAYS, FILE_ATTRIBUTE_ARCHIVE);
    if (!file.valid()) return LastError();
    if (!WideCalls()) ::SetFilePointer(file.get(), 0, nullptr, FILE_END);
    if (const Status status = WriteOut(file, bytes); status != ERROR_SUCCESS) return status;
    return ::FlushFileBuffers(file.get()) ? ERROR_SUCCESS : LastError();
  }

  Status WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view value) override {
    const RealSystemFolder real;
    const BOOL written =
        WideCalls() ? ::WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                                   Wide(value).c_str(), WidePath(file).c_str())
                    : ::WritePrivateProfileStringA(Ansi(section).c_str(), Ansi(key).c_str(),
                                                   Ansi(value).c_str(), AnsiPath(file).c_str());
    return written ? ERROR_SUCCESS : LastError();
  }

  Status ReadProfileString(std::string_view file, std::string_view section, std::string_view key,
                           std::string& value) override {
    const RealSystemFolder real;
    if (WideCalls()) {
      const std::wstring wideFile = WidePath(file);
      const std::wstring wideSection = Wide(section);
      const std::wstring wideKey = Wide(key);
      return ReadProfileText<wchar_t>(
          [&](wchar_t* buffer, DWORD size) {
            return ::GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(),
                                              kMissingSentinel, buffer, size, wideFile.c_str());
          },
          kMissingSentinel, [&](std::wstring_view text) { value = Narrow(text); });
    }
    const std::string ansiFile = AnsiPath(file);
    const std::string ansiSection = Ansi(section);
    const std::string ansiKey = Ansi(key);
    return ReadProfileText<char>(
        [&](char* buffer, DWORD size) {
          return ::GetPrivateProfileStringA(ansiSection.c_str(), ansiKey.c_str(), kMissingSentinelA,
                                            buffer, size, ansiFile.c_str());
        },
        kMissingSentinelA, [&](std::string_view text) { value = FromAnsi(text); });
  }

 private:
  // Windows 9x deletes a file at its next start when WININIT.INI's [rename] section says
  // "NUL=<the file's short path>"; WININIT.EXE reads only 8.3 names, and one line per file.
  Status RemoveAtRestartFromWininit(std::string_view path) {
    const std::string ansi = AnsiPath(path);
    const DWORD attributes = ::GetFileAttributesA(ansi.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return ERROR_ACCESS_DENIED;  // files only
    char shortPath[MAX_PATH];
    const DWORD length = ::GetShortPathNameA(ansi.c_str(), shortPath, MAX_PATH);
    if (length == 0) return LastError();
    if (length >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
    char windows[MAX_PATH];
    const UINT folderLength = ::GetWindowsDirectoryA(windows, MAX_PATH);
    if (folderLength == 0) return LastError();
    if (folderLength >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
    std::string wininit = FromAnsiZ(windows);
    if (wininit.back() != '\\') wininit += '\\';
    wininit += "WININIT.INI";
    std::string text;
    const Status read = ReadAll(wininit, text);
    if (read != ERROR_SUCCESS && read != ERROR_FILE_NOT_FOUND) return read;
    // The file holds ANSI text and so does the short path: bytes go in as they are.
    return WriteAll(wininit, ini::AddEntry(text, "rename", "NUL", std::string(shortPath, length)));
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeFileSystem() {
  return std::make_unique<Win32FileSystem>();
}

}  // namespace vu::platform::win32
