# Adds -DPCRE2_STATIC to the Cflags of PCRE2's pkg-config file (PC_FILE): the static
# library's functions are not DLL imports, and its header must be told so.
file(READ ${PC_FILE} text)
if(NOT text MATCHES "PCRE2_STATIC")
  string(REGEX REPLACE "\nCflags:([^\n]*)" "\nCflags:\\1 -DPCRE2_STATIC" text "${text}")
  file(WRITE ${PC_FILE} "${text}")
endif()
