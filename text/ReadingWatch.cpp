#include "text/ReadingWatch.h"

namespace {
// The unit's noun, plural or singular.
const char* Noun(CutUnit unit, bool one)
{
    switch (unit) {
    case CutUnit::Rows:
        return one ? "row" : "rows";
    case CutUnit::Columns:
        return one ? "column" : "columns";
    case CutUnit::Characters:
        return one ? "character" : "characters";
    case CutUnit::Items:
    case CutUnit::TreeItems:
        break;
    }
    return one ? "item" : "items";
}

std::string Count(LRESULT count)
{
    return GroupedNumber(count < 0 ? 0ull : static_cast<unsigned long long>(count));
}
}  // namespace

std::string ReadingWhat(CutUnit unit)
{
    switch (unit) {
    case CutUnit::Rows:
        return "Reading the rows of a list view...";
    case CutUnit::Columns:
        return "Reading the items of a header...";
    case CutUnit::Items:
        return "Reading the items of a list...";
    case CutUnit::TreeItems:
        return "Reading the items of a tree...";
    case CutUnit::Characters:
        break;
    }
    return "Reading the text of a window...";
}

std::string ReadingHowFar(const ReadingProgress& progress)
{
    if (!progress.begun)
        return std::string();
    if (progress.of < 0)
        return Count(progress.done) + " " + Noun(progress.unit, progress.done == 1);
    return Count(progress.done) + " of " + Count(progress.of) + " " + Noun(progress.unit, progress.of == 1);
}
