#include "platform/Clock.h"

#include <cmath>
#include <sys/time.h>

namespace platform {

bool RealClock::now(TimeVal& out) {
    timeval tv{};
    if (gettimeofday(&tv, nullptr) != 0) return false;
    out.seconds = static_cast<int32_t>(tv.tv_sec);
    out.microseconds = static_cast<int32_t>(tv.tv_usec);
    return true;
}

bool VirtualClock::now(TimeVal& out) {
    if (failing_) return false;
    out.seconds = static_cast<int32_t>(micros_ / 1'000'000);
    out.microseconds = static_cast<int32_t>(micros_ % 1'000'000);
    return true;
}

void VirtualClock::advance(double seconds) {
    double exact = seconds * 1e6 + carry_;
    double whole = std::round(exact);
    carry_ = exact - whole;
    micros_ += static_cast<int64_t>(whole);
}

void VirtualClock::set(TimeVal t) {
    micros_ = static_cast<int64_t>(t.seconds) * 1'000'000 + t.microseconds;
    carry_ = 0;
}

namespace {
Clock* installed = nullptr;
}

Clock& currentClock() {
    static RealClock real;
    return installed ? *installed : real;
}

void setCurrentClock(Clock* clock) {
    installed = clock;
}

} // namespace platform
