// A local date and time as the days since 30 December 1899 (midnight), the fraction being the
// time of day, with a validity flag: the form in which the program keeps the moment of the last
// accepted hot-key action.
#pragma once

#include <ctime>

struct CDateTime {
    double m_dt = 0.0;
    bool m_bValid = true;

    // The current local time at one-second resolution.
    static CDateTime Now();
    // A calendar time (tm_year since 1900, tm_mon 0-11); invalid when the fields are out of range.
    static CDateTime FromTm(const std::tm& tm);
};

// Whole seconds from earlier to later, truncated toward zero; negative when the clock went back.
long ElapsedWholeSeconds(const CDateTime& later, const CDateTime& earlier);
