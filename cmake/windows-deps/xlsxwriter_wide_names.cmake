# libxlsxwriter opens files through UTF-8 names turned into wide ones on Windows
# (lxw_fopen, and minizip's iowin32 for the workbook itself), but switches that off for
# MinGW, whose narrow fopen then loses every Chinese name: 阅卷结果20261208.xlsx could
# not be written. This turns it back on in the sources at SOURCE_DIR. Two more limits
# go: the workbook's wide name was built in a buffer of _MAX_PATH characters, so a
# workbook in a folder of 225 characters was never written while the report beside it
# was; and the spool files of constant-memory mode opened their folder's UTF-8 name as
# a narrow one, so a Chinese folder could not hold them; and the workbook was created
# sharing nothing (below). Run again, it changes nothing.

# Replaces OLD by NEW in FILE (under SOURCE_DIR) unless NEW is there already; fails
# when neither is there, so a changed source is noticed rather than left unpatched.
function(patch_source file old new)
  file(READ ${SOURCE_DIR}/${file} text)
  string(FIND "${text}" "${new}" done)
  if(NOT done EQUAL -1)
    return()
  endif()
  string(REPLACE "${old}" "${new}" patched "${text}")
  if(patched STREQUAL text)
    message(FATAL_ERROR "xlsxwriter_wide_names: ${file} is not as expected")
  endif()
  file(WRITE ${SOURCE_DIR}/${file} "${patched}")
endfunction()

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

# The workbook's wide name as long as its UTF-8 name.
patch_source(src/packager.c
"    wchar_t wide_filename[_MAX_PATH + 1] = L\"\";

    /* Build a UTF-16 filename for Win32. */
    n = MultiByteToWideChar(CP_UTF8, 0, filename, (int) strlen(filename),
                            wide_filename, _MAX_PATH);

    if (n == 0) {
        LXW_ERROR(\"MultiByteToWideChar error\");
        return NULL;
    }

    /* Use the native Win32 file handling functions with minizip. */
    fill_win32_filefunc64W(&filefunc);

    return zipOpen2_64(wide_filename, 0, NULL, &filefunc);"
"    wchar_t *wide_filename;
    zipFile zipfile;

    /* Build a UTF-16 filename for Win32, as long as the name is. */
    n = MultiByteToWideChar(CP_UTF8, 0, filename, -1, NULL, 0);
    wide_filename = n > 0 ? calloc((size_t) n, sizeof(wchar_t)) : NULL;
    if (!wide_filename
        || MultiByteToWideChar(CP_UTF8, 0, filename, -1, wide_filename, n) == 0) {
        LXW_ERROR(\"MultiByteToWideChar error\");
        free(wide_filename);
        return NULL;
    }

    /* Use the native Win32 file handling functions with minizip. */
    fill_win32_filefunc64W(&filefunc);

    zipfile = zipOpen2_64(wide_filename, 0, NULL, &filefunc);
    free(wide_filename);
    return zipfile;")

# Spool files in a folder named in UTF-8: its wide name, whatever its length; a name
# that is not UTF-8 (a TMP variable in the ANSI code page) stays narrow.
patch_source(third_party/tmpfileplus/tmpfileplus.c
"#define OPEN_ _open"
"#include <windows.h>

/* The wide form of a UTF-8 name, to be freed; NULL when it is not UTF-8. */
static wchar_t *wide_utf8_name(const char *name)
{
	wchar_t *wide;
	int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, NULL, 0);
	if (n <= 0)
		return NULL;
	wide = calloc((size_t) n, sizeof(wchar_t));
	if (wide && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, wide, n) <= 0)
	{
		free(wide);
		wide = NULL;
	}
	return wide;
}

static int open_utf8(const char *name, int oflag, int pmode)
{
	int fd;
	wchar_t *wide = wide_utf8_name(name);
	if (!wide)
		return _open(name, oflag, pmode);
	fd = _wopen(wide, oflag, pmode);
	free(wide);
	return fd;
}
#define OPEN_ open_utf8")
patch_source(third_party/tmpfileplus/tmpfileplus.c
"static int is_valid_dir(const char *path)
{
	struct stat st;"
"static int is_valid_dir(const char *path)
{
	struct stat st;
#ifdef _WIN32
	wchar_t *wide = wide_utf8_name(path);
	if (wide)
	{
		DWORD attributes = GetFileAttributesW(wide);
		free(wide);
		return attributes != INVALID_FILE_ATTRIBUTES &&
		       (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
	}
#endif")

# The workbook is written into a temporary that the program holds open (read access,
# sharing reads and writes) so that other writes into the folder cannot take it for a
# dead writer's leftover; minizip created it sharing nothing, so it could not open it.
patch_source(third_party/minizip/iowin32.c
"        *lpdwDesiredAccess = GENERIC_WRITE | GENERIC_READ;
        *lpdwCreationDisposition = CREATE_ALWAYS;
    }"
"        *lpdwDesiredAccess = GENERIC_WRITE | GENERIC_READ;
        *lpdwCreationDisposition = CREATE_ALWAYS;
        *lpdwShareMode = FILE_SHARE_READ | FILE_SHARE_WRITE;
    }")
