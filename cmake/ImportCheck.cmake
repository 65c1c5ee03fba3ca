# After every link of a product binary, list its imports and fail the build on
# any DLL that is not part of Windows (libstdc++, libgcc, libwinpthread and the like).
set(IMPORT_CHECK_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/import-check)

function(product_binary target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${PRODUCT_CXX_FLAGS}>)
  target_link_options(${target} PRIVATE ${PRODUCT_LINK_FLAGS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${DIST_DIR})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${IMPORT_CHECK_SCRIPT} ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
