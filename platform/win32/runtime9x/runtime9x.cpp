// Own versions of the system functions that the static C++ run time and libgcc import although
// Windows 95/98 lacks them or only stubs them. Each is defined under the import library's own
// pointer name (__imp_...), so the linker takes it instead of the DLL's entry and the program
// never asks the system for the missing name. Linked into every program of the 32-bit build.
#include <windows.h>

#include <sys/stat.h>

extern "C" {

// libgcc's locks (exceptions, thread-local emulation) make nameless semaphores through
// CreateSemaphoreW, which returns nothing on Windows 9x: the ANSI call does the same there
// and on NT.
static HANDLE WINAPI OwnCreateSemaphoreW(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum,
                                         LPCWSTR name) {
  if (name == nullptr) return ::CreateSemaphoreA(security, initial, maximum, nullptr);
  char ansi[MAX_PATH] = {};
  if (::WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof ansi, nullptr, nullptr) == 0) {
    ::SetLastError(ERROR_INVALID_NAME);
    return nullptr;
  }
  return ::CreateSemaphoreA(security, initial, maximum, ansi);
}

// The C++ streams ask the size of an open file with _fstat64, which Windows 98's msvcrt lacks;
// _fstati64 (32-bit times, 64-bit size) is there.
static int __cdecl OwnFstat64(int descriptor, struct _stat64* out) {
  struct _stati64 in {};
  if (::_fstati64(descriptor, &in) != 0) return -1;
  out->st_dev = in.st_dev;
  out->st_ino = in.st_ino;
  out->st_mode = in.st_mode;
  out->st_nlink = in.st_nlink;
  out->st_uid = in.st_uid;
  out->st_gid = in.st_gid;
  out->st_rdev = in.st_rdev;
  out->st_size = in.st_size;
  out->st_atime = in.st_atime;
  out->st_mtime = in.st_mtime;
  out->st_ctime = in.st_ctime;
  return 0;
}

// The C run time's helpers look for msvcrt's newer functions by module handle, and libgcc for
// its DLL, with the wide calls; on Windows 9x those only fail. Module names are plain ASCII.
static bool AnsiName(LPCWSTR name, char (&ansi)[MAX_PATH]) {
  return ::WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof ansi, nullptr, nullptr) != 0;
}

static HMODULE WINAPI OwnGetModuleHandleW(LPCWSTR name) {
  char ansi[MAX_PATH] = {};
  if (name == nullptr) return ::GetModuleHandleA(nullptr);
  return AnsiName(name, ansi) ? ::GetModuleHandleA(ansi) : nullptr;
}

static HMODULE WINAPI OwnLoadLibraryW(LPCWSTR name) {
  char ansi[MAX_PATH] = {};
  return name != nullptr && AnsiName(name, ansi) ? ::LoadLibraryA(ansi) : nullptr;
}

// The import pointers themselves, under the names the libraries' code calls through.
extern void* const vuCreateSemaphoreW __asm__("__imp__CreateSemaphoreW@16");
void* const vuCreateSemaphoreW = reinterpret_cast<void*>(&OwnCreateSemaphoreW);
extern void* const vuGetModuleHandleW __asm__("__imp__GetModuleHandleW@4");
void* const vuGetModuleHandleW = reinterpret_cast<void*>(&OwnGetModuleHandleW);
extern void* const vuLoadLibraryW __asm__("__imp__LoadLibraryW@4");
void* const vuLoadLibraryW = reinterpret_cast<void*>(&OwnLoadLibraryW);
extern void* const vuFstat64 __asm__("__imp___fstat64");
void* const vuFstat64 = reinterpret_cast<void*>(&OwnFstat64);

}  // extern "C"
