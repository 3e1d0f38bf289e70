#pragma once

namespace platform {

// A date of the proleptic Gregorian calendar.
struct CivilDate {
    int year = 1970, month = 1, day = 1;
};

// Days from 1970-01-01 to the date (negative before it).
long daysFromCivil(const CivilDate& date);

// The date that many days from 1970-01-01.
CivilDate civilFromDays(long days);

}  // namespace platform
