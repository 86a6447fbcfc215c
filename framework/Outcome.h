// What became of a piece of work that the user is to hear of. The work below the application
// (grabs, writers, delivery, recording, the reading of other programs' text) returns it and shows
// nothing; the application alone decides what the user sees and hears of it: the shutter for a
// result delivered, then a note where only part of it could be, a message box for a failure,
// nothing at all for work that had nothing to do.
#pragma once

#include "framework/FileException.h"

#include <string>

struct Outcome {
    enum class Kind {
        Done,             // delivered, written, recorded, read whole
        Cut,              // done in part: `message` says what was left out, and why
        Aborted,          // done as far as it went, then given up: `message` says why
        Nothing,          // nothing to do and nothing to say (an empty rectangle, a setting missing)
        OutOfMemory,      // a picture or a block could not be made
        ClipboardFailed,  // the clipboard could not be opened or would not take the data
        FileFailed,       // a file could not be made or written: `file` says which and why
        Refused,          // the work could not be done: `message` says why, in the user's words
    };

    Kind kind = Kind::Done;
    CFileException file;
    std::string message;

    bool IsDone() const { return kind == Kind::Done; }
    // Whether there is a result to deliver: all of it, or the part done before a cut or an abort.
    bool HasResult() const { return kind == Kind::Done || kind == Kind::Cut || kind == Kind::Aborted; }

    static Outcome Of(Kind kind, std::string message = std::string())
    {
        Outcome outcome;
        outcome.kind = kind;
        outcome.message = std::move(message);
        return outcome;
    }
    static Outcome FileFailure(CFileException failure)
    {
        Outcome outcome = Of(Kind::FileFailed);
        outcome.file = std::move(failure);
        return outcome;
    }
    static Outcome Refusal(std::string why) { return Of(Kind::Refused, std::move(why)); }
};
