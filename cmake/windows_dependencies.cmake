# Included when cross building for Windows: builds the libraries the programs need
# (cmake/windows-deps) at configure time, once per build tree and recipe, and points
# CMake's find_package and pkg-config at them and at the MinGW sysroot only.
set(VANTRY_DEPS_PREFIX ${CMAKE_BINARY_DIR}/deps)
set(deps_build ${CMAKE_BINARY_DIR}/deps-build)

# The libraries are built anew when the files that say how (their builds, the patches)
# change, so a tree built before a patch gets it. Recursive: friso's build lives in a
# folder of its own.
file(GLOB_RECURSE deps_recipe ${CMAKE_SOURCE_DIR}/cmake/windows-deps/*)
list(APPEND deps_recipe ${CMAKE_SOURCE_DIR}/cmake/debian-source.sh
     ${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake)
list(SORT deps_recipe)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${deps_recipe})
set(deps_recipe_hashes "")
foreach(recipe_file IN LISTS deps_recipe)
  file(SHA256 ${recipe_file} recipe_hash)
  string(APPEND deps_recipe_hashes "${recipe_hash}\n")
endforeach()
string(SHA256 deps_recipe_hash "${deps_recipe_hashes}")
if(EXISTS ${VANTRY_DEPS_PREFIX}/.complete)
  file(READ ${VANTRY_DEPS_PREFIX}/.complete built_recipe_hash)
  if(NOT built_recipe_hash STREQUAL deps_recipe_hash)
    message(STATUS "The Windows libraries' recipe changed: building them anew")
    file(REMOVE_RECURSE ${VANTRY_DEPS_PREFIX} ${deps_build})
  endif()
endif()

if(NOT EXISTS ${VANTRY_DEPS_PREFIX}/.complete)
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
  file(WRITE ${VANTRY_DEPS_PREFIX}/.complete "${deps_recipe_hash}")
endif()

# The MinGW sysroot's zlib comes as a DLL import library too, which CMake's Windows
# platform files (read after the toolchain file) would take first: the programs carry
# every library inside themselves, so only static archives are looked for, and what a
# tree configured before found as an import library is looked for again.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
get_property(cached_names GLOBAL PROPERTY CACHE_VARIABLES)
foreach(name IN LISTS cached_names)
  if("${${name}}" MATCHES "\\.dll\\.a$")
    unset(${name} CACHE)
  endif()
endforeach()

list(APPEND CMAKE_FIND_ROOT_PATH ${VANTRY_DEPS_PREFIX})
list(APPEND CMAKE_PREFIX_PATH ${VANTRY_DEPS_PREFIX})

# The window program's Qt: built once per machine into a cache outside the build tree
# (windows-qt/build-qt.sh; half an hour the first time), found there afterwards. A Qt
# for MinGW-w64 of one's own can be named instead.
set(VANTRY_WINDOWS_QT_PREFIX "" CACHE PATH
    "Qt for Windows (static, MinGW-w64) to use; empty builds or reuses the cached one")
if(VANTRY_BUILD_APP AND NOT VANTRY_WINDOWS_QT_PREFIX)
  execute_process(
    COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/windows-qt/build-qt.sh
    OUTPUT_VARIABLE qt_prefix
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT IS_DIRECTORY "${qt_prefix}")
    message(FATAL_ERROR "Building Qt for Windows failed (see above)")
  endif()
  # For this configuration only: the cache key may change with the next one.
  set(VANTRY_WINDOWS_QT_PREFIX ${qt_prefix})
endif()
if(VANTRY_BUILD_APP)
  message(STATUS "Qt for Windows: ${VANTRY_WINDOWS_QT_PREFIX}")
  # find_package remembers where it found each Qt package: when the prefix changed (a
  # new cache key, or one named by hand), forget what lies in the old one.
  if(DEFINED VANTRY_QT_PREFIX_FOUND AND
     NOT VANTRY_QT_PREFIX_FOUND STREQUAL VANTRY_WINDOWS_QT_PREFIX)
    get_property(cached_names GLOBAL PROPERTY CACHE_VARIABLES)
    foreach(name IN LISTS cached_names)
      # A plain prefix comparison: the cache's names hold regular-expression characters.
      string(FIND "${${name}}" "${VANTRY_QT_PREFIX_FOUND}/" at)
      if(at EQUAL 0 AND NOT name STREQUAL "VANTRY_QT_PREFIX_FOUND")
        unset(${name} CACHE)
      endif()
    endforeach()
  endif()
  set(VANTRY_QT_PREFIX_FOUND ${VANTRY_WINDOWS_QT_PREFIX} CACHE INTERNAL
      "The Qt prefix the cached package locations lie in")
  list(APPEND CMAKE_FIND_ROOT_PATH ${VANTRY_WINDOWS_QT_PREFIX})
  list(APPEND CMAKE_PREFIX_PATH ${VANTRY_WINDOWS_QT_PREFIX})
endif()
# pkg-config reads only the prefix's files, never the build host's.
set(ENV{PKG_CONFIG_LIBDIR} ${VANTRY_DEPS_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
