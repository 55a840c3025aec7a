// Running independent tasks on a few threads.
#ifndef VANTRY_ANALYSIS_RUN_TASKS_H_
#define VANTRY_ANALYSIS_RUN_TASKS_H_

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace vantry {

// Runs task(0) .. task(count - 1), each once, on up to `threads` threads, the calling
// one included; returns when all have run. Where no further thread can be had, the
// threads there are do the rest.
template <typename Task>
void RunTasks(int count, int threads, Task task) {
  std::atomic<int> next{0};
  const auto work = [&] {
    for (int t = next++; t < count; t = next++) task(t);
  };
  std::vector<std::thread> helpers;
  for (int t = 1; t < std::min(threads, count); ++t) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;
    }
  }
  work();
  for (std::thread& t : helpers) t.join();
}

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_RUN_TASKS_H_
