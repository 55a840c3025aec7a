// The start-up notice fetched while the window stays alive.
#ifndef VANTRY_APP_NOTICE_FETCH_H_
#define VANTRY_APP_NOTICE_FETCH_H_

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "net/notice.h"

namespace vantry {

// Fetches the notice of `host` (FetchNotice) on a thread of its own, the whole
// exchange bounded by `limit`, so that the window's thread can keep handling events
// while it waits. Destruction waits for the thread, which the limit ends soon.
class NoticeFetch {
 public:
  NoticeFetch(std::string host, std::chrono::milliseconds limit);
  NoticeFetch(const NoticeFetch&) = delete;
  NoticeFetch& operator=(const NoticeFetch&) = delete;
  ~NoticeFetch();

  // Runs the calling thread's event loop (repaints, typing, clicks) until the notice
  // is in or `limit` has passed since construction, and returns it; a notice that did
  // not come in time is empty, as after a failed request.
  Notice Wait();

 private:
  struct Shared {
    std::mutex mutex;
    std::optional<Notice> notice;
  };

  std::chrono::steady_clock::time_point deadline_;
  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
  std::thread thread_;
};

}  // namespace vantry

#endif  // VANTRY_APP_NOTICE_FETCH_H_
