# Compiler warnings for the project's own targets (not for GoogleTest's).
function(busca_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
endfunction()
