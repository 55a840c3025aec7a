// Ending the program at once.
#ifndef VANTRY_APP_END_PROCESS_H_
#define VANTRY_APP_END_PROCESS_H_

namespace vantry {

// Flushes the standard streams and ends the process with `exit_code`, running no
// destructors, no library's shutdown code and saving nothing: the window's end and a
// finished run end the program on the spot.
[[noreturn]] void EndProcessNow(int exit_code);

}  // namespace vantry

#endif  // VANTRY_APP_END_PROCESS_H_
