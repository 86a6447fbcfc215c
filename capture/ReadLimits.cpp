#include "capture/ReadLimits.h"

#include <algorithm>

namespace {
std::string SizeText(size_t bytes)
{
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return GroupedNumber(bytes >> 20) + " MB";
    if (bytes >= 1024 && bytes % 1024 == 0)
        return GroupedNumber(bytes >> 10) + " KB";
    return GroupedNumber(bytes) + " bytes";
}

std::string TimeText(DWORD milliseconds)
{
    if (milliseconds % 1000)
        return GroupedNumber(milliseconds) + " ms";
    return GroupedNumber(milliseconds / 1000) + (milliseconds == 1000 ? " second" : " seconds");
}

std::string ReasonText(CutUnit unit, CutReason reason, const ReadLimits& limits)
{
    switch (reason) {
    case CutReason::ItemLimit:
        return "at most " + GroupedNumber(static_cast<unsigned long long>(limits.maxItems)) +
               (unit == CutUnit::Rows ? " cells" : " items") + " are read at a time";
    case CutReason::ColumnLimit:
        return "at most " + GroupedNumber(static_cast<unsigned long long>(limits.maxColumns)) + " columns are read";
    case CutReason::TextLimit:
        return "the text would have grown past " + SizeText(limits.maxTextBytes);
    case CutReason::TimeLimit:
        return "reading stopped after " + TimeText(limits.maxMilliseconds);
    }
    return std::string();
}
}  // namespace

LRESULT BoundedCount(LRESULT claimed, LRESULT limit)
{
    return claimed < 0 ? 0 : std::min(claimed, limit);
}

std::string GroupedNumber(unsigned long long number)
{
    std::string digits = std::to_string(number);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

std::string CutNote(CutUnit unit, LRESULT copied, LRESULT claimed, CutReason reason, const ReadLimits& limits)
{
    const std::string first = "Only the first " + GroupedNumber(static_cast<unsigned long long>(copied));
    const std::string of = " of " + GroupedNumber(static_cast<unsigned long long>(claimed));
    std::string what;
    switch (unit) {
    case CutUnit::Rows:
        what = first + of + " rows";
        break;
    case CutUnit::Columns:
        what = first + of + " columns";
        break;
    case CutUnit::Items:
        what = first + of + " items";
        break;
    case CutUnit::TreeItems:
        what = first + " items of the tree";
        break;
    case CutUnit::Characters:
        what = first + of + " characters";
        break;
    }
    return what + " were copied: " + ReasonText(unit, reason, limits) + ".";
}
