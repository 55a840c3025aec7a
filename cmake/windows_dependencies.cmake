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

list(APPEND CMAKE_FIND_ROOT_PATH ${VANTRY_DEPS_PREFIX})
list(APPEND CMAKE_PREFIX_PATH ${VANTRY_DEPS_PREFIX})
# pkg-config reads only the prefix's files, never the build host's.
set(ENV{PKG_CONFIG_LIBDIR} ${VANTRY_DEPS_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
