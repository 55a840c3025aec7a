# libxlsxwriter opens files through UTF-8 names turned into wide ones on Windows
# (lxw_fopen, and minizip's iowin32 for the workbook itself), but switches that off for
# MinGW, whose narrow fopen then loses every Chinese name: 阅卷结果20261208.xlsx could
# not be written. This turns it back on in the sources at SOURCE_DIR; run again, it
# changes nothing.
foreach(file src/packager.c src/utility.c)
  file(READ ${SOURCE_DIR}/${file} text)
  string(REPLACE "#ifdef __MINGW32__\n#undef _WIN32\n#endif\n" "" patched "${text}")
  if(NOT patched STREQUAL text)
    file(WRITE ${SOURCE_DIR}/${file} "${patched}")
  endif()
endforeach()
file(READ ${SOURCE_DIR}/CMakeLists.txt text)
string(REPLACE "    if(MSVC)\n        list(APPEND LXW_SOURCES third_party/minizip/iowin32.c)"
               "    if(WIN32)\n        list(APPEND LXW_SOURCES third_party/minizip/iowin32.c)"
               patched "${text}")
if(NOT patched STREQUAL text)
  file(WRITE ${SOURCE_DIR}/CMakeLists.txt "${patched}")
endif()
