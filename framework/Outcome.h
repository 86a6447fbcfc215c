// What became of a piece of work that the user is to hear of. The work below the application
// (grabs, writers, delivery, recording) returns it and shows nothing; the application alone
// decides what the user sees and hears of it: the shutter for a result delivered, a message box
// for a failure, nothing at all for work that had nothing to do.
#pragma once

#include "framework/FileException.h"

#include <string>

struct Outcome {
    enum class Kind {
        Done,             // delivered, written, recorded
        Nothing,          // nothing to do and nothing to say (an empty rectangle, a setting missing)
        OutOfMemory,      // a picture or a block could not be made
        ClipboardFailed,  // the clipboard could not be opened or would not take the data
        FileFailed,       // a file could not be made or written: `file` says which and why
        Refused,          // the work could not be done: `reason` says why, in the user's words
    };

    Kind kind = Kind::Done;
    CFileException file;
    std::string reason;

    bool IsDone() const { return kind == Kind::Done; }

    static Outcome Of(Kind kind)
    {
        Outcome outcome;
        outcome.kind = kind;
        return outcome;
    }
    static Outcome FileFailure(CFileException failure)
    {
        Outcome outcome = Of(Kind::FileFailed);
        outcome.file = std::move(failure);
        return outcome;
    }
    static Outcome Refusal(std::string why)
    {
        Outcome outcome = Of(Kind::Refused);
        outcome.reason = std::move(why);
        return outcome;
    }
};
