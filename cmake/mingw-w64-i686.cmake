# Usage: cmake -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DBUSCA_MINGW_THREADS=win32  (or: cmake --preset win32, win32-tests)
# 32-bit Windows build with MinGW-w64; its programs run under Debian's 32-bit Wine where the machine allows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The 32-bit loader runs i686 programs in the same prefixes as wine64: natively where the kernel runs 32-bit
# programs, else under QEMU user emulation when ctest runs inside tools/wine32.sh (tools/test-win32.sh does).
# Without Debian's 32-bit Wine the tests are built, not registered.
if(EXISTS /usr/lib/wine/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
endif()
