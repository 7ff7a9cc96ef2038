# Cross build for 32-bit Windows with MinGW-w64: the one set of programs for Windows 98 to 11.
# The win32 thread model: the posix one's winpthreads imports kernel32 functions Windows 98 does
# not have, so the programs would not load there. -march=i586: Windows 98 still runs on Pentiums.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_C_FLAGS_INIT "-march=i586")
set(CMAKE_CXX_FLAGS_INIT "-march=i586")
# Windows 9x refuses a program whose header asks for a later subsystem or system version.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-Wl,--major-subsystem-version,4,--minor-subsystem-version,0,--major-os-version,4,--minor-os-version,0")
# Tests run under Wine in this build tree's own prefix (a normal 64-bit one: the WOW64 case).
set(CMAKE_CROSSCOMPILING_EMULATOR env VU_WINE_DEFAULT_PREFIX=${CMAKE_BINARY_DIR}/wineprefix
                                  ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
