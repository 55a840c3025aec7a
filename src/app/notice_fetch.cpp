#include "app/notice_fetch.h"

#include <QEventLoop>
#include <QTimer>
#include <utility>

namespace vantry {

NoticeFetch::NoticeFetch(std::string host, std::chrono::milliseconds limit)
    : deadline_(std::chrono::steady_clock::now() + limit) {
  thread_ = std::thread([shared = shared_, host = std::move(host), limit] {
    NoticeOptions options;
    options.total_timeout = limit;
    Notice notice = FetchNotice(host, options);
    const std::lock_guard<std::mutex> lock(shared->mutex);
    shared->notice = std::move(notice);
  });
}

NoticeFetch::~NoticeFetch() {
  if (thread_.joinable()) thread_.join();
}

Notice NoticeFetch::Wait() {
  const auto arrived = [this] {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->notice.has_value();
  };
  if (!arrived()) {
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (arrived() || std::chrono::steady_clock::now() >= deadline_) loop.quit();
    });
    poll.start();
    loop.exec();
  }
  const std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->notice.value_or(Notice{});
}

}  // namespace vantry
