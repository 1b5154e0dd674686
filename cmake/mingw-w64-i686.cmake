# Usage: cmake -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake  (or: cmake --preset win32)
# 32-bit Windows build with MinGW-w64; its programs run under Debian's 32-bit Wine where the machine allows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The 32-bit loader runs i686 programs in the same prefixes as wine64. Where it cannot run
# (not installed, or a kernel without 32-bit emulation) the tests are built, not registered.
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../tools/wine32-probe.sh
  RESULT_VARIABLE wine32_refused OUTPUT_QUIET ERROR_QUIET)
if(NOT wine32_refused)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
endif()
