#include "cli/exit_code.h"

#include <gtest/gtest.h>

namespace vantry {
namespace {

TEST(ExitOfRunTest, TheFirstThingNotDoneDecides) {
  struct Case {
    bool checked;
    bool report_written;
    bool outputs_failed;
    int code;
  } cases[] = {
      {true, true, false, 0}, {true, true, true, 4},    {true, false, false, 1},
      {true, false, true, 1}, {false, false, false, 3}, {false, false, true, 3},
  };
  for (const Case& c : cases) {
    RunOutcome outcome;
    if (!c.checked) outcome.checked = Failure{"没有找到学生答题文件"};
    if (c.report_written) outcome.report.written = Status();
    outcome.outputs_failed = c.outputs_failed;
    EXPECT_EQ(ExitCode(ExitOfRun(outcome)), c.code)
        << c.checked << c.report_written << c.outputs_failed;
  }
}

}  // namespace
}  // namespace vantry
