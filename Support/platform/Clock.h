#pragma once
// The wall clock, with microseconds, behind an interface so that tests and
// input scripts can run on virtual time.
// Failures: worded by the caller (see Log.h).

#include <cstdint>

namespace platform {

struct TimeVal {
    int32_t seconds = 0;
    int32_t microseconds = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // Reads the current time; false when the clock cannot be read.
    virtual bool now(TimeVal& out) = 0;
};

class RealClock : public Clock {
  public:
    bool now(TimeVal& out) override;
};

// Time that moves only when told to. Kept in whole microseconds; fractions
// are carried so that 60 steps of 1/60 s add up to exactly one second.
class VirtualClock : public Clock {
  public:
    bool now(TimeVal& out) override;
    void advance(double seconds);
    void set(TimeVal t);
    // Makes the next reads fail (to exercise the error path).
    void setFailing(bool failing) { failing_ = failing; }

  private:
    int64_t micros_ = 1'000'000'000LL * 1'000'000LL / 1000; // an arbitrary, positive start
    double carry_ = 0;
    bool failing_ = false;
};

// The clock the engine reads. The real clock unless another one is installed.
Clock& currentClock();
// Installs `clock` (not owned; null restores the real clock).
void setCurrentClock(Clock* clock);

} // namespace platform
