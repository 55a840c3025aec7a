#include "app/end_process.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace vantry {

void EndProcessNow(int exit_code) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  std::_Exit(exit_code);
}

}  // namespace vantry
