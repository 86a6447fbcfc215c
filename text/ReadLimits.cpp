#include "text/ReadLimits.h"

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
    case CutReason::Stopped:
        return "you stopped the reading";
    case CutReason::NotAnswering:
        return "its program stopped responding";
    case CutReason::Closed:
        return "the window was closed";
    case CutReason::MemoryFailed:
        return "memory in its program could not be used";
    case CutReason::Changed:
        return "its items changed faster than they could be read";
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

std::string CutWhat(CutUnit unit, LRESULT copied, LRESULT claimed)
{
    if (unit == CutUnit::TreeItems) {
        // A tree's claimed count is not known.
        if (copied == 0)
            return "No item of the tree was copied";
        if (copied == 1)
            return "Only the first item of the tree was copied";
        return "Only the first " + GroupedNumber(static_cast<unsigned long long>(copied)) +
               " items of the tree were copied";
    }
    // Plural and singular.
    const char* noun = "items";
    const char* one = "item";
    switch (unit) {
    case CutUnit::Rows:
        noun = "rows", one = "row";
        break;
    case CutUnit::Columns:
        noun = "columns", one = "column";
        break;
    case CutUnit::Characters:
        noun = "characters", one = "character";
        break;
    case CutUnit::Items:
    case CutUnit::TreeItems:
        break;
    }
    const std::string count = GroupedNumber(static_cast<unsigned long long>(claimed)) + " " + noun;
    const std::string of = " of " + count;
    if (copied == 0)
        return claimed == 1 ? std::string("The only ") + one + " was not copied" : "None of the " + count + " were copied";
    if (copied == 1)
        return "Only the first" + of + " was copied";
    return "Only the first " + GroupedNumber(static_cast<unsigned long long>(copied)) + of + " were copied";
}

std::string NothingReadMessage(CutReason reason)
{
    const std::string cannot = "The text of this window could not be read: ";
    switch (reason) {
    case CutReason::NotAnswering:
        return cannot + "its program is not responding.";
    case CutReason::Closed:
        return cannot + "the window was closed.";
    case CutReason::MemoryFailed:
        return cannot + "memory in its program could not be used.";
    case CutReason::Changed:
        return cannot + "its items changed faster than they could be read.";
    case CutReason::Stopped:
        return "Nothing was copied: you stopped the reading.";
    default:
        break;
    }
    return cannot + ReasonText(CutUnit::Items, reason, kReadLimits) + ".";
}

std::string CutNote(CutUnit unit, LRESULT copied, LRESULT claimed, CutReason reason, const ReadLimits& limits)
{
    return CutWhat(unit, copied, claimed) + ": " + ReasonText(unit, reason, limits) + ".";
}

std::string UnreadableProgramMessage(DWORD openError)
{
    const std::string cannot = "The text of this window cannot be read: ";
    if (openError == ERROR_ACCESS_DENIED)
        return cannot + "its program runs with higher rights than Pixlet32, or as another user.";
    return cannot + "its program could not be opened (error " + std::to_string(openError) + ").";
}

const char kTreeHandlesRefusal[] =
    "The items of this tree view cannot be read: it belongs to a 64-bit program, and its item handles do not "
    "fit a 32-bit reader.";
