# Cross-builds a static libpng from Debian's source package (unpacked into third_party/ by
# tools/pixlet.sh fetch) once per build tree, then provides PNG::PNG over the static zlib.
file(GLOB _png_src LIST_DIRECTORIES true "${PROJECT_SOURCE_DIR}/third_party/libpng1.6-*")
list(SORT _png_src)
list(POP_BACK _png_src _png_src_newest)
set(PIXLET_LIBPNG_SOURCE_DIR "${_png_src_newest}" CACHE PATH "Unpacked libpng source tree")
set(PIXLET_DEPS_PREFIX "${CMAKE_BINARY_DIR}/_deps/prefix")

if(NOT EXISTS "${PIXLET_DEPS_PREFIX}/lib/libpng16.a")
  if(NOT EXISTS "${PIXLET_LIBPNG_SOURCE_DIR}/png.h")
    message(FATAL_ERROR "No libpng source: run tools/pixlet.sh fetch (Debian), or unpack libpng 1.6 "
                        "into third_party/libpng1.6-<version>, or set PIXLET_LIBPNG_SOURCE_DIR")
  endif()
  set(_bld "${CMAKE_BINARY_DIR}/_deps/libpng-build")
  file(MAKE_DIRECTORY "${_bld}")
  message(STATUS "Building static libpng from ${PIXLET_LIBPNG_SOURCE_DIR}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S "${PIXLET_LIBPNG_SOURCE_DIR}" -B "${_bld}" -G "${CMAKE_GENERATOR}"
            "-DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}" "-DPIXLET_ARCH=${PIXLET_ARCH}"
            "-DCMAKE_C_COMPILER=${CMAKE_C_COMPILER}" -DZLIB_USE_STATIC_LIBS=ON
            -DCMAKE_BUILD_TYPE=Release "-DCMAKE_INSTALL_PREFIX=${PIXLET_DEPS_PREFIX}"
            -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
            -DSKIP_INSTALL_FILES=ON -DSKIP_INSTALL_EXECUTABLES=ON
    OUTPUT_FILE "${CMAKE_BINARY_DIR}/_deps/libpng-configure.log"
    ERROR_FILE  "${CMAKE_BINARY_DIR}/_deps/libpng-configure.log"
    RESULT_VARIABLE _rc)
  if(_rc EQUAL 0)
    execute_process(COMMAND ${CMAKE_COMMAND} --build "${_bld}" --target install
      OUTPUT_FILE "${CMAKE_BINARY_DIR}/_deps/libpng-build.log"
      ERROR_FILE  "${CMAKE_BINARY_DIR}/_deps/libpng-build.log"
      RESULT_VARIABLE _rc)
  endif()
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "libpng build failed, see ${CMAKE_BINARY_DIR}/_deps/libpng-*.log")
  endif()
endif()

# Named directly: CMAKE_FIND_ROOT_PATH would re-root a search outside the MinGW sysroot.
set(PNG_LIBRARY "${PIXLET_DEPS_PREFIX}/lib/libpng16.a" CACHE FILEPATH "" FORCE)
set(PNG_PNG_INCLUDE_DIR "${PIXLET_DEPS_PREFIX}/include" CACHE PATH "" FORCE)
find_package(PNG 1.6 REQUIRED)
