#pragma once

// Calendar times of a moment, in standard C++ only, so that every program
// and platform converts alike. The C library's converters return a shared
// buffer; these copy it out under one lock, so any thread may call them.

#include <ctime>

namespace vondrix {

// The calendar time of `t` in the system's time zone, or all fields zero
// when the C library cannot convert it.
std::tm localCalendar(std::time_t t);
// The calendar time of `t` in UTC, any moment (before 1970 too).
std::tm utcCalendar(std::time_t t);
// The moment a calendar time in UTC names; fields out of their range carry
// into the next larger one (the 32nd of January is the 1st of February).
std::time_t utcMoment(const std::tm& utc);

}  // namespace vondrix
