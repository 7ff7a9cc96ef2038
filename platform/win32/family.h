// Which Windows family the program runs on, read once from the platform id, and what follows
// from it: on NT the wide-character (W) functions, on Windows 95/98/Me the ANSI (A) functions
// with text converted between UTF-8 and the ANSI code page at the call (most W functions are
// stubs there). Also whether a 32-bit program runs on 64-bit Windows (WOW64).
#pragma once

#include <string>
#include <string_view>

namespace vu::platform::win32 {

// True on the NT family (NT 4 to 11, and Wine unless told to be Windows 9x).
bool WideCalls();
// True for a 32-bit program on 64-bit Windows: the file system and the registry it sees are
// redirected unless it asks otherwise.
bool UnderWow64();

// UTF-8 -> the ANSI code page, and back. A character the code page cannot hold becomes '?'.
std::string Ansi(std::string_view utf8);
std::string FromAnsi(std::string_view ansi);
// A NUL-terminated ANSI buffer's text up to its first NUL, as UTF-8.
std::string FromAnsiZ(const char* ansi);
// A file path for the ANSI calls: '/' turned into '\' (Windows 9x knows no "\\?\" form).
std::string AnsiPath(std::string_view utf8Path);

// A function of |dll| (already loaded, or loaded now) that older Windows may lack; null then.
template <typename Function>
Function FindFunction(const char* dll, const char* name);
void* FindProcedure(const char* dll, const char* name);

template <typename Function>
Function FindFunction(const char* dll, const char* name) {
  // Through void(*)() so that the compiler accepts the change of signature.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(FindProcedure(dll, name)));
}

}  // namespace vu::platform::win32

namespace vu::platform::win32 {

// For its lifetime, this thread's file calls see the real System32 and not the 32-bit programs'
// SysWOW64 in its place (only under WOW64; nothing elsewhere). No DLL may be loaded meanwhile:
// it would come from the 64-bit folder.
class RealSystemFolder {
 public:
  RealSystemFolder();
  RealSystemFolder(const RealSystemFolder&) = delete;
  RealSystemFolder& operator=(const RealSystemFolder&) = delete;
  ~RealSystemFolder();

 private:
  void* previous_ = nullptr;
  bool disabled_ = false;
};

}  // namespace vu::platform::win32
