#include "app/end_process.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vantry {

void EndProcessNow(int exit_code) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
#ifdef _WIN32
  // _Exit goes through ExitProcess, which first stops the other threads wherever they
  // are and then runs every loaded library's shutdown code, locks those threads may
  // still hold included: a shutdown can hang there (Wine then kills the process and
  // its exit code is lost). TerminateProcess ends the process on the spot.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exit_code));
#endif
  std::_Exit(exit_code);
}

}  // namespace vantry
