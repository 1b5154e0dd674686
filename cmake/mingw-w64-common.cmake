# The parts of the MinGW-w64 toolchain files that do not depend on the architecture.
# BUSCA_MINGW_THREADS picks the compilers' thread model. The shipped programs take win32: the posix
# model links the POSIX threads runtime, which imports functions of Vista (GetTickCount64) and of the
# NT family only, so the program would not start on 98 or XP. The tests take posix: GoogleTest needs
# std::mutex, which GCC 12's win32 model lacks.
if(NOT BUSCA_MINGW_THREADS)
  set(BUSCA_MINGW_THREADS posix)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BUSCA_MINGW_THREADS)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-${BUSCA_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-${BUSCA_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# One file runs alone next to the device library: no MinGW runtime DLLs beside it.
# No link time in the PE header, so the same sources give the same bytes on every rebuild.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
# Paths in the binaries (__FILE__ and the like) relative to the checkout, not to wherever it sits.
set(CMAKE_C_FLAGS_INIT "\"-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.\"")
set(CMAKE_CXX_FLAGS_INIT "\"-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.\"")
# Release files carry no symbols: a smaller download, the same program.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE_INIT "-s")

# A host Python serves only GoogleTest's own tests, which these builds never make; looking for
# one (every interpreter on PATH, shims included) can cost seconds at each first configure.
set(CMAKE_DISABLE_FIND_PACKAGE_Python ON)
