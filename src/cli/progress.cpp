#include "cli/progress.h"

#include <string>

namespace vantry {
namespace {

constexpr int kBarWidth = 30;
constexpr int kQuietBelow = 1000;

}  // namespace

void ProgressReporter::Update(int graded, int total) {
  if (total <= 0) return;
  const int steps = terminal_ ? 100 : 10;
  const int step = static_cast<int>(static_cast<long long>(graded) * steps / total);
  if (step == last_step_) return;
  last_step_ = step;
  if (terminal_) {
    const int filled = step * kBarWidth / 100;
    const std::string bar = std::string(static_cast<size_t>(filled), '#') +
                            std::string(static_cast<size_t>(kBarWidth - filled), '-');
    std::fprintf(out_, "\r阅卷进度 [%s] %3d%%  %d/%d 份", bar.c_str(), step, graded,
                 total);
    if (graded >= total) std::fputc('\n', out_);
  } else {
    if (total < kQuietBelow || step == 0) return;
    std::fprintf(out_, "阅卷进度 %d/%d 份 (%d%%)\n", graded, total, step * 10);
  }
  std::fflush(out_);
}

}  // namespace vantry
