// Time as the core sees it: a monotonic count of whole seconds for deadlines
// and message order, and the local date and time for logs, labels and
// counters. Tests use a fake clock.
#pragma once

#include <cstdint>

namespace velmora {

struct LocalDateTime {
    int year = 1970;   // four digits
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int hour = 0;      // 0..23
    int minute = 0;
    int second = 0;
    int dayOfYear = 1; // 1..366
};

class Clock {
public:
    virtual ~Clock() = default;
    // Whole seconds from an arbitrary start; never goes backwards.
    virtual uint32_t MonotonicSeconds() = 0;
    virtual LocalDateTime Now() = 0;
};

class SystemClock : public Clock {
public:
    uint32_t MonotonicSeconds() override;
    LocalDateTime Now() override;
};

} // namespace velmora
