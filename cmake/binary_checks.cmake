# A test that a Windows binary imports only system DLLs and exports exactly the names given.
function(busca_check_binary target)
  add_test(NAME ${target}_binary
    COMMAND ${PROJECT_SOURCE_DIR}/tools/check-pe.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}> ${ARGN})
endfunction()
