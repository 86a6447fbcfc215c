// What became of one reading of a window's text, and the sink that is told of the text while a
// reading goes on. Shared by the readers of controls and both sides of the 64-bit companion.
#pragma once

#include "text/ReadLimits.h"

#include <windows.h>

#include <string>

struct ReadResult {
    enum class Outcome {
        Whole,    // all of it was read
        Cut,      // a limit ended the reading; the text gathered before it is kept
        Aborted,  // the reading gave up where the program cannot follow; the text so far is kept
        Refused,  // nothing could be read safely: the clipboard must stay as it is
        // Nothing was read: a 64-bit program's tree, whose item handles only a 64-bit reader
        // gets intact.
        Needs64BitReader,
        OutOfMemory,  // nothing is delivered
    };
    Outcome outcome = Outcome::Whole;
    // Cut: one line per limit that was reached, saying what was left out. Aborted, Refused,
    // Needs64BitReader: why.
    std::string message;
};

// Whether the text of a reading with this result goes to the clipboard (whole, or as far as it
// was read); a refused reading leaves the clipboard as it was.
bool IsDeliverable(const ReadResult& result);

// Why a 32-bit reader does not walk the tree of a large-address-aware 64-bit program.
extern const char kTreeHandlesRefusal[];
// Why the text of a control cannot be read when its program could not be opened (the system's
// error of that): it runs with higher rights, or as another user.
std::string UnreadableProgramMessage(DWORD openError);

// Told of the text while a reading goes on, each time it has grown by whole items (rows,
// lines): the reader mode passes them on at once, so that what was read is kept even where the
// reading is cut short. False stops the reading there, after whole items, noted as stopped.
class CTextSink
{
public:
    virtual bool Grew(const std::string& text) = 0;
    // How far the reading has come: `done` whole units of `of` (-1 where the count is not known
    // beforehand, as in a tree). Told when the reading begins and after each whole item.
    virtual void Counted(CutUnit unit, LRESULT done, LRESULT of)
    {
        (void)unit, (void)done, (void)of;
    }

protected:
    ~CTextSink() = default;
};
