#pragma once

#include <string>

#include "mbf.h"

namespace corvat {

// A date as the master and data files hold it: the MBF number
// (year - 1900) * 10000 + month * 100 + day. Files written by other
// programs, or damaged ones, may hold any number there.
struct StoredDate {
    float value = 0;
    int year = 0;  // full year, 1997
    int month = 0;
    int day = 0;
    // A whole number naming a real calendar day. Only then are year, month
    // and day set.
    bool valid = false;
};

StoredDate DecodeDateValue(const MbfBytes& mbf);

}  // namespace corvat

namespace corvat {

// YYYY-MM-DD for a valid date; otherwise the stored number itself, so a
// damaged value is shown rather than hidden.
std::string StoredDateText(const StoredDate& date);

}  // namespace corvat
