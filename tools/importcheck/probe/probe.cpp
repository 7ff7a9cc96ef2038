// A program that must fail the import check: it imports what Windows 98 SE lacks (a kernel32
// name it does not export, a shell32 function it exports only by number, and a wide stub).
#include <windows.h>

#include <shlobj.h>

int main() {
  ULONGLONG ticks = ::GetTickCount64();
  ::ILFree(nullptr);
  wchar_t name[8] = {};
  DWORD size = 8;
  ::GetComputerNameW(name, &size);
  return static_cast<int>(ticks & 1);
}
