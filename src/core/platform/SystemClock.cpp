#include "platform/Clock.h"

#include <chrono>
#include <ctime>

namespace velmora {

uint32_t SystemClock::MonotonicSeconds() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<seconds>(steady_clock::now().time_since_epoch()).count());
}

LocalDateTime SystemClock::Now() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    LocalDateTime d;
    d.year = tm.tm_year + 1900;
    d.month = tm.tm_mon + 1;
    d.day = tm.tm_mday;
    d.hour = tm.tm_hour;
    d.minute = tm.tm_min;
    d.second = tm.tm_sec;
    d.dayOfYear = tm.tm_yday + 1;
    return d;
}

} // namespace velmora
