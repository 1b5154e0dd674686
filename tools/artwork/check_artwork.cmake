# Regenerates the pictures and fails unless each equals its committed copy byte for byte.
# Run as: cmake -DMAKE_ARTWORK=... -DOUTPUT_DIR=... -DCOMMITTED_DIR=... -P check_artwork.cmake
foreach(var MAKE_ARTWORK OUTPUT_DIR COMMITTED_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_artwork.cmake needs -D${var}=...")
  endif()
endforeach()

# Start from an empty folder so a stale picture from an earlier run can never pass.
file(REMOVE_RECURSE "${OUTPUT_DIR}")
execute_process(COMMAND "${MAKE_ARTWORK}" "${OUTPUT_DIR}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_artwork failed (${result})")
endif()

set(stale "")
foreach(name virk.ico logo.wmf adapter.bmp)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT_DIR}/${name}" "${COMMITTED_DIR}/${name}"
                  RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    list(APPEND stale "${name}")
  endif()
endforeach()
if(stale)
  message(FATAL_ERROR "src/ui/art is out of date (${stale}): run make_artwork <source>/src/ui/art and commit the result")
endif()
message(STATUS "virk.ico, logo.wmf and adapter.bmp match the generator")
