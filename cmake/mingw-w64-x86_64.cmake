# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads), the
# programs linked statically so that an .exe runs with nothing beside it. Tests run
# under Wine through the emulator wrapper.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTRY_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER ${VANTRY_MINGW_TRIPLE}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER ${VANTRY_MINGW_TRIPLE}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER ${VANTRY_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW sysroot (and the prefixes the build adds
# to CMAKE_FIND_ROOT_PATH); programs such as Python run on the build host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${VANTRY_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static archives rather than the import libraries of DLLs (zlib ships both).
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
