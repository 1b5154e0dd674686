# GoogleTest: Debian's build natively; for MinGW, built from the sources libgtest-dev installs.
if(CMAKE_CROSSCOMPILING)
  set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()

# Registers a GoogleTest program as one ctest test: a process per case costs about a second
# under Wine, a minute under emulation. Cross builds run it through CMAKE_CROSSCOMPILING_EMULATOR,
# as for any target, labelled "wine" so a machine that cannot run it can leave it out; one with
# nothing to run it (no 32-bit Wine installed) builds it, unregistered.
function(busca_add_gtest_program target)
  if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    return()
  endif()
  add_test(NAME ${target} COMMAND ${target})
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${target} PROPERTIES LABELS wine FIXTURES_REQUIRED wine_prefix)
  endif()
endfunction()
