# The test tree: this source tree configured again in <build>/tests with the -posix
# compilers, once the product is built. Its programs go into the same BIN_DIR and run
# in the same Wine prefix; ctest run on the product tree runs them.
include(ExternalProject)
set(test_tree ${CMAKE_BINARY_DIR}/tests)
ExternalProject_Add(tests
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${test_tree}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
             -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
             -DTOLVANE_THREADS=posix
             -DTOLVANE_TEST_TREE=ON
             -DPRODUCT_TREE=${CMAKE_BINARY_DIR}
             -DDIST_DIR=${DIST_DIR}
             -DBIN_DIR=${BIN_DIR}
             -DWINE_PREFIX=${WINE_PREFIX}
             -DTOLVANE_DIST32=${TOLVANE_DIST32}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON
  DEPENDS Tolvane Tolvard installer)

enable_testing()
file(WRITE ${CMAKE_BINARY_DIR}/TestTree.cmake "subdirs(\"${test_tree}\")\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/TestTree.cmake)
