# The Windows programs' builds: the standard library's headers and Windows' own are parsed once per build, not
# once per source file: the x86_64 programs of `make run` took 50% less of the compiler's time (December 2026),
# and came out byte for byte the same. The tests' builds, which `make run` does not wait for, keep the disk
# space instead (some 90 MB a build).
# Sources get these headers first; the native build, which has none, still shows what each file includes.
set(busca_std_headers <algorithm> <array> <cstdint> <optional> <span> <string> <string_view> <vector>)
target_precompile_headers(busca_core PRIVATE ${busca_std_headers})
foreach(target busca_cli stand_in_devices)
  target_precompile_headers(${target} REUSE_FROM busca_core)
endforeach()
# Every source of these includes <windows.h>, with the same definitions (busca_win32's): the stand-in library
# and the window reader take them too, which leaves their bytes as they were.
target_precompile_headers(busca_win32 PRIVATE <windows.h> ${busca_std_headers})
target_compile_definitions(BuscaVIRK PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_compile_definitions(window_text PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
foreach(target BuscadorVIRK ListaVIRK BuscaVIRK window_text)
  target_precompile_headers(${target} REUSE_FROM busca_win32)
endforeach()
