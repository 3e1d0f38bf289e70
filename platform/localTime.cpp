#include "platform/localTime.h"

#include <clocale>
#include <cstring>
#include <ctime>

namespace platform {

std::tm localNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return local;
}

namespace {

bool plainLocale()
{
    const char* name = std::setlocale(LC_TIME, nullptr);
    return !name || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 || std::strncmp(name, "C.", 2) == 0;
}

bool leapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[m - 1];
}

std::tm toTm(const DateTime& when)
{
    std::tm t{};
    t.tm_year = when.year - 1900;
    t.tm_mon = when.month - 1;
    t.tm_mday = when.day;
    t.tm_wday = when.dayOfWeek;
    t.tm_hour = when.hour;
    t.tm_min = when.minute;
    t.tm_sec = when.second;
    return t;
}

bool format(const char* pattern, const DateTime& when, std::size_t limit, std::string& out)
{
    char buffer[64];
    std::tm t = toTm(when);
    std::size_t n = std::strftime(buffer, sizeof buffer, pattern, &t);
    if (n == 0 || n > limit)
        return false;
    out.assign(buffer, n);
    return true;
}

}  // namespace

int dayOfWeek(int year, int month, int day)
{
    static const int offset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + offset[month - 1] + day) % 7;
}

bool formatShortDate(const DateTime& when, std::string& out)
{
    if (plainLocale() || when.month < 1 || when.month > 12 || when.day < 1 ||
        when.day > daysInMonth(when.year, when.month))
        return false;
    return format("%x", when, 15, out);
}

bool formatTimeOfDay(const DateTime& when, std::string& out)
{
    if (plainLocale() || when.hour > 23 || when.minute > 59 || when.second > 59)
        return false;
    return format("%X", when, 63, out);
}

}  // namespace platform
