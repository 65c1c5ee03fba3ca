# How the product's code is built: no exceptions, no RTTI, the runtime linked in
# statically, debug information in the build tree only.
set(PRODUCT_CXX_FLAGS -fno-exceptions -fno-rtti -g -ffunction-sections -fdata-sections)
set(PRODUCT_LINK_FLAGS -static -static-libgcc -static-libstdc++ -Wl,--gc-sections)

# product_code(TARGET): a library whose code goes into a shipped binary.
function(product_code target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${PRODUCT_CXX_FLAGS}>)
endfunction()

# product_binary(TARGET): a shipped binary. It is linked into BIN_DIR with its debug
# information, checked against the import table, and copied stripped into DIST_DIR.
set(IMPORT_TABLE ${CMAKE_SOURCE_DIR}/cmake/imports.table)
# The names that Windows 95's KERNEL32 exports: the 32-bit build imports no other.
set(WIN95_KERNEL32 ${CMAKE_SOURCE_DIR}/cmake/win95-kernel32.txt)
function(product_binary target)
  product_code(${target})
  target_link_options(${target} PRIVATE ${PRODUCT_LINK_FLAGS})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${IMPORT_TABLE} ${WIN95_KERNEL32})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/import-check ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}>
            ${IMPORT_TABLE} ${TOLVANE_TARGET_WINDOWS} ${WIN95_KERNEL32}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DIST_DIR}
    COMMAND ${CMAKE_OBJCOPY} --strip-all $<TARGET_FILE:${target}> ${DIST_DIR}/$<TARGET_FILE_NAME:${target}>
    VERBATIM)
endfunction()
