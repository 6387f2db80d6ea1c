#include "foundation/CalendarTime.h"

#include <chrono>
#include <mutex>

namespace vondrix {
namespace {

// std::localtime and std::gmtime may share one static result.
std::mutex& converterLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

std::tm localCalendar(std::time_t t) {
    const std::lock_guard hold(converterLock());
    const std::tm* local = std::localtime(&t);
    return local ? *local : std::tm{};
}

std::tm utcCalendar(std::time_t t) {
    // By the calendar's arithmetic, not std::gmtime: Windows' has no moment
    // before 1970.
    using namespace std::chrono;
    const sys_seconds moment{seconds{t}};
    const sys_days day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss time{moment - day};
    std::tm utc{};
    utc.tm_year = static_cast<int>(date.year()) - 1900;
    utc.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    utc.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    utc.tm_hour = static_cast<int>(time.hours().count());
    utc.tm_min = static_cast<int>(time.minutes().count());
    utc.tm_sec = static_cast<int>(time.seconds().count());
    utc.tm_wday = static_cast<int>(weekday{day}.c_encoding());
    utc.tm_yday = static_cast<int>((day - sys_days{date.year() / January / 1}).count());
    return utc;
}

std::time_t utcMoment(const std::tm& utc) {
    using namespace std::chrono;
    // The month first, so that the calendar sees a valid one.
    const long long months = 12LL * (1900LL + utc.tm_year) + utc.tm_mon;
    const long long yearOf = months >= 0 ? months / 12 : (months - 11) / 12;
    const auto monthOf = static_cast<unsigned>(months - 12 * yearOf + 1);
    const sys_days first = year{static_cast<int>(yearOf)} / month{monthOf} / day{1};
    const auto moment = first + days{utc.tm_mday - 1} + hours{utc.tm_hour} + minutes{utc.tm_min} +
                        seconds{utc.tm_sec};
    return static_cast<std::time_t>(duration_cast<seconds>(moment.time_since_epoch()).count());
}

}  // namespace vondrix
