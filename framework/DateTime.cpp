#include "framework/DateTime.h"

namespace {
// Days from 1 January 1970 to the given civil date (proleptic Gregorian calendar).
long DaysFromCivil(long year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

const long kDaysFrom1970ToEpoch = DaysFromCivil(1899, 12, 30);
}  // namespace

CDateTime CDateTime::Now()
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local)
        return CDateTime{0.0, false};
    return FromTm(*local);
}

CDateTime CDateTime::FromTm(const std::tm& tm)
{
    if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_mday > 31 || tm.tm_hour < 0 ||
        tm.tm_hour > 23 || tm.tm_min < 0 || tm.tm_min > 59 || tm.tm_sec < 0 || tm.tm_sec > 59)
        return CDateTime{0.0, false};
    const long days = DaysFromCivil(tm.tm_year + 1900L, static_cast<unsigned>(tm.tm_mon + 1),
                                    static_cast<unsigned>(tm.tm_mday)) -
                      kDaysFrom1970ToEpoch;
    const double seconds = tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec;
    return CDateTime{days + seconds / 86400.0, true};
}

long ElapsedWholeSeconds(const CDateTime& later, const CDateTime& earlier)
{
    // Day fractions do not hold whole seconds exactly: the small addend keeps a difference of
    // exactly n seconds from being truncated to n - 1.
    return static_cast<long>((later.m_dt - earlier.m_dt) * 24.0 * 60.0 * 60.0 + 5.787037037037037e-6);
}
