# Shared part of the MinGW-w64 toolchain files; TOOLCHAIN_PREFIX is set by the caller.
#
# Two thread models, one per tree (see the top CMakeLists.txt):
# - win32, for the product: its runtime imports nothing that Windows 95 and NT 4 lack.
#   The posix runtime (winpthreads) would pull in AddVectoredExceptionHandler,
#   TryEnterCriticalSection, GetTickCount64 and more, and Windows refuses to load a
#   module with a missing import.
# - posix, for the test programs: GoogleTest needs std::mutex, which GCC 12 has
#   only with the posix thread model.
# Everything links statically, so the binaries need no DLL beyond Windows' own.
if(NOT TOLVANE_THREADS)
  set(TOLVANE_THREADS win32)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TOLVANE_THREADS)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-${TOLVANE_THREADS})
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-${TOLVANE_THREADS})
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_OBJDUMP      ${TOOLCHAIN_PREFIX}-objdump)
set(CMAKE_OBJCOPY      ${TOOLCHAIN_PREFIX}-objcopy)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
