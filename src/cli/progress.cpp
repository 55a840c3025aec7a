#include "cli/progress.h"

#include <cstdint>
#include <string>

#include "cli/console.h"

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
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", step);
    WriteText(out_, "\r阅卷进度 [" + bar + "] " + percent + "  " +
                        std::to_string(graded) + "/" + std::to_string(total) + " 份" +
                        (graded >= total ? "\n" : ""));
  } else {
    if (total < kQuietBelow || step == 0) return;
    WriteText(out_, "阅卷进度 " + std::to_string(graded) + "/" + std::to_string(total) +
                        " 份 (" + std::to_string(step * 10) + "%)\n");
  }
  std::fflush(out_);
}

}  // namespace vantry
