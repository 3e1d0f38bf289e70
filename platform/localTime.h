#pragma once

#include <ctime>
#include <string>

namespace platform {

struct DateTime {
    int year = 0, month = 0, day = 0, dayOfWeek = 0;  // day of week 0 = Sunday
    int hour = 0, minute = 0, second = 0;
};

// The local date and time now.
std::tm localNow();

// Day of the week of a Gregorian date, 0 = Sunday.
int dayOfWeek(int year, int month, int day);

// The user's short date and time formats (the LC_TIME locale). Both fail, and
// leave the caller to its own format, for an invalid value or under the C and
// POSIX locales.
bool formatShortDate(const DateTime& when, std::string& out);
bool formatTimeOfDay(const DateTime& when, std::string& out);

}  // namespace platform
