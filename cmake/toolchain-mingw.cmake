# Cross toolchain for MinGW-w64 on Debian. PIXLET_ARCH selects the target:
#   i686   (default) the shipped 32-bit program
#   x86_64 the same sources for 64-bit Windows, used where 32-bit code cannot run
if(NOT PIXLET_ARCH)
  set(PIXLET_ARCH i686)
endif()
set(PIXLET_ARCH ${PIXLET_ARCH} CACHE STRING "i686 or x86_64")
set(CMAKE_SYSTEM_NAME Windows)
if(PIXLET_ARCH STREQUAL "x86_64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()
set(_tc ${PIXLET_ARCH}-w64-mingw32)
# The default "-win32" thread model of GCC 12 has no std::thread/std::mutex (GoogleTest needs them).
set(CMAKE_C_COMPILER   ${_tc}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_tc}-g++-posix)
set(CMAKE_RC_COMPILER  ${_tc}-windres)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${_tc})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test programs run through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-env.sh run)
