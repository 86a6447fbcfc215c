// How far one reading of another program's control may go, the note that tells the user what
// was left out where it stopped, and what the user is told where nothing could be read. The
// counts and lengths a control reports are its own word: a broken or hostile one may claim two
// thousand million items, each of a thousand million characters, or answer every query just
// before its time-out.
#pragma once

#include <windows.h>

#include <string>

// The most columns of a list view, or items of a header, that are read. No list shows this
// many side by side, and a row of them is still read in under a second.
const LRESULT kMaxColumns = 1024;
// The most list-view cells, list or combo box items, or tree items that one reading takes: as
// far as this limit goes, a list of 100,000 rows of 10 columns is read whole. Where the queries
// are slow (under Wine, say) the time limit ends a reading long before.
const LRESULT kMaxItems = 1000000;
// The most text that one reading gathers. Pasting more than this is already a trial for most
// programs; at its peak the capture holds the text about three times over (the text growing,
// then the clipboard's copy of it), more where the system converts a window's text between
// character sets on its way here (180 MB in all under Wine): a 32-bit process still finds that.
const size_t kMaxTextBytes = 32u << 20;
// The longest one reading may take; the program answers nothing meanwhile. A list of 10,000 rows
// of 5 columns takes 20 s where one cell costs 0.4 ms (under Wine), a few seconds on Windows:
// three times that size still fits. Without it, a control that answers each query just within
// its time-out would hold the program for days.
const DWORD kMaxReadMilliseconds = 60000;

struct ReadLimits {
    LRESULT maxColumns;
    LRESULT maxItems;
    size_t maxTextBytes;
    DWORD maxMilliseconds;
};
// The program's limits; tests pass smaller ones.
const ReadLimits kReadLimits = {kMaxColumns, kMaxItems, kMaxTextBytes, kMaxReadMilliseconds};

// The part of a claimed count that is read: none of a negative one, at most `limit`.
LRESULT BoundedCount(LRESULT claimed, LRESULT limit);

// Why a reading ended before its end: one of its limits; the user, who stopped it (or nobody
// waits for it any more); or the window and its program: a program that stopped answering
// within a query's time-out, a window closed meanwhile, memory placed in the program that could
// not be used, a list whose items changed under the reading faster than they could be read.
enum class CutReason {
    ItemLimit,
    ColumnLimit,
    TextLimit,
    TimeLimit,
    Stopped,
    NotAnswering,
    Closed,
    MemoryFailed,
    Changed,
};
enum class CutUnit { Rows, Columns, Items, TreeItems, Characters };
// What the user is told where a reading stopped early, e.g. "Only the first 976 of
// 2,147,483,647 rows were copied: at most 1,000,000 cells are read at a time." A tree's
// claimed count is not known and not told.
std::string CutNote(CutUnit unit, LRESULT copied, LRESULT claimed, CutReason reason, const ReadLimits& limits);
// The first half of that note, before the reason: "Only the first 976 of 2,147,483,647 rows
// were copied", "Only the first of 5 rows was copied", "None of the 5 rows were copied".
std::string CutWhat(CutUnit unit, LRESULT copied, LRESULT claimed);
// Why nothing was read, for the reasons that end a reading other than its limits: "The text of
// this window could not be read: its program is not responding."
std::string NothingReadMessage(CutReason reason);
// Why a 32-bit reader does not walk the tree of a large-address-aware 64-bit program.
extern const char kTreeHandlesRefusal[];
// Why the text of a control cannot be read when its program could not be opened (the system's
// error of that): it runs with higher rights, or as another user.
std::string UnreadableProgramMessage(DWORD openError);
// A count with its thousands grouped: 2,147,483,647.
std::string GroupedNumber(unsigned long long number);

// The clock of one reading, started when it is made.
class CReadDeadline
{
public:
    using Clock = ULONGLONG(WINAPI*)();
    explicit CReadDeadline(DWORD milliseconds, Clock clock = &::GetTickCount64)
        : m_clock(clock), m_end(clock() + milliseconds)
    {
    }
    bool Passed() const { return m_clock() >= m_end; }

private:
    Clock m_clock;
    ULONGLONG m_end;
};
