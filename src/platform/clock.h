// The clock seam: where the program reads the local wall-clock time.
#ifndef VANTRY_PLATFORM_CLOCK_H_
#define VANTRY_PLATFORM_CLOCK_H_

#include <chrono>

namespace vantry {

// A local calendar date and time of day, field for field like the Windows SYSTEMTIME.
// month 1..12, day 1..31, day_of_week 0 = Sunday .. 6 = Saturday.
struct LocalDateTime {
  int year = 0, month = 0, day_of_week = 0, day = 0, hour = 0, minute = 0, second = 0,
      milliseconds = 0;

  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // One reading of the clock: every field comes from the same instant.
  virtual LocalDateTime Now() const = 0;
};

// The local wall clock of the machine (time zone of the process).
const Clock& SystemClock();

// A clock that shows what it was set to, for tests and benchmarks.
class FixedClock : public Clock {
 public:
  // Starts at 2000-01-01 00:00:00.000 (a Saturday).
  FixedClock();
  explicit FixedClock(const LocalDateTime& time) { Set(time); }

  LocalDateTime Now() const override { return now_; }

  // Shows `time` from now on; day_of_week is derived from the date, whatever `time`
  // holds there.
  void Set(const LocalDateTime& time);
  // Moves the time forward (or back, for a negative step) across days, months and years.
  void Advance(std::chrono::milliseconds step);

 private:
  LocalDateTime now_;
};

}  // namespace vantry

#endif  // VANTRY_PLATFORM_CLOCK_H_
