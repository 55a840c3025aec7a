# Included when cross building for Windows: builds the libraries the programs need
# (cmake/windows-deps) at configure time, once per build tree and again when the list
# of libraries changes, and points CMake's find_package and pkg-config at them and at
# the MinGW sysroot only.
set(VANTRY_DEPS_PREFIX ${CMAKE_BINARY_DIR}/deps)
set(deps_build ${CMAKE_BINARY_DIR}/deps-build)

# The stamp holds the hash of the libraries' build description it was made from.
file(SHA256 ${CMAKE_SOURCE_DIR}/cmake/windows-deps/CMakeLists.txt deps_hash)
set(deps_stamp "")
if(EXISTS ${VANTRY_DEPS_PREFIX}/.complete)
  file(READ ${VANTRY_DEPS_PREFIX}/.complete deps_stamp)
endif()
if(NOT deps_stamp STREQUAL deps_hash)
  message(STATUS "Building the Windows libraries into ${VANTRY_DEPS_PREFIX}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR}/cmake/windows-deps -B ${deps_build}
            -G Ninja -DVANTRY_DEPS_PREFIX=${VANTRY_DEPS_PREFIX}
    RESULT_VARIABLE status)
  if(status EQUAL 0)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${deps_build} RESULT_VARIABLE status)
  endif()
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Building the Windows libraries failed (see above)")
  endif()
  file(WRITE ${VANTRY_DEPS_PREFIX}/.complete ${deps_hash})
endif()

list(APPEND CMAKE_FIND_ROOT_PATH ${VANTRY_DEPS_PREFIX})
list(APPEND CMAKE_PREFIX_PATH ${VANTRY_DEPS_PREFIX})
# pkg-config reads only the prefix's files, never the build host's.
set(ENV{PKG_CONFIG_LIBDIR} ${VANTRY_DEPS_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
