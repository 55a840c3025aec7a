#include "cli/progress.h"

#include <cstdint>
#include <string>

namespace vantry {
namespace {

constexpr int kBarWidth = 30;
constexpr int kQuietBelow = 1000;

}  // namespace

void ProgressReporter::Update(int64_t graded, int64_t total) {
  if (total <= 0) return;
  const int steps = terminal_ ? 100 : 10;
  const int step = static_cast<int>(graded * steps / total);
  if (step == last_step_) return;
  last_step_ = step;
  if (terminal_) {
    const int filled = step * kBarWidth / 100;
    const std::string bar = std::string(static_cast<size_t>(filled), '#') +
                            std::string(static_cast<size_t>(kBarWidth - filled), '-');
    std::fprintf(out_, "\r阅卷进度 [%s] %3d%%  %lld/%lld 份", bar.c_str(), step,
                 static_cast<long long>(graded), static_cast<long long>(total));
    if (graded >= total) std::fputc('\n', out_);
  } else {
    if (total < kQuietBelow || step == 0) return;
    std::fprintf(out_, "阅卷进度 %lld/%lld 份 (%d%%)\n", static_cast<long long>(graded),
                 static_cast<long long>(total), step * 10);
  }
  std::fflush(out_);
}

}  // namespace vantry
