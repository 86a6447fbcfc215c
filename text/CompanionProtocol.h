// How the 32-bit program and its 64-bit companion talk. A 32-bit process cannot walk the tree
// view of a large-address-aware 64-bit program (its item handles do not fit), so it starts
// Pixlet64.exe, from its own folder, once for that one window:
//
//   Pixlet64.exe /pixlet-read-text XXXXXXXX
//
// XXXXXXXX is the window handle as 8 hexadecimal digits: window handles are 32-bit values that
// 32- and 64-bit programs share. This reader mode takes no mutex, no hot key and no tray icon,
// shows no window and reads only that window. The switch with anything but one such handle is
// refused (exit code 2), and nothing else happens; any other arguments are ignored, as they
// always were, and start the whole program.
//
// The reader writes its answer on its standard output, a pipe that the caller made:
//
//   the text   as it grows, whole items (lines) at a time; it holds no NUL, since every part of
//              it was read up to a terminator
//   NUL        one zero byte: the text is complete
//   status     one word: whole, cut, aborted, refused or nomemory; then LF, then the message the
//              user is to see (it may be empty, and may hold CR LF)
//
// and then ends with exit code 0, once it has freed what it placed in the window's program.
//
// Its standard input is a pipe too, on which the caller writes nothing: its closing asks the
// reader to stop. The reader looks at it before its queries (at most every 20 ms), and once it
// is closed ends its reading as the user's Stop ends one: the whole lines so far, status cut,
// the note "...: you stopped the reading." A reader started with any other standard input is
// never asked (earlier callers started it so).
//
// The caller waits for the reader's end no longer than a time-out (CompanionTimeoutMs), and
// asks it to stop when the user stops the reading or that time-out passes; it ends the reader
// itself only if it has not ended one query's time-out later (kReaderStopGraceMs). The
// clipboard, the messages and the shutter sound stay with the caller. The text that reached the
// caller before the reader ended, or before the caller asked it to stop, is kept: with the
// reader's status where its reply was complete, otherwise up to its last whole line, with the
// caller's note of why the rest is missing.
#pragma once

#include "text/ControlQuery.h"
#include "text/ReadLimits.h"
#include "framework/Outcome.h"

#include <windows.h>

#include <string>

// The companion's file, in the folder of the 32-bit program.
extern const char kCompanionName[];

// The exit codes of the reader mode.
const DWORD kReaderExitAnswered = 0;
const DWORD kReaderExitRefused = 2;  // a reader-mode command line it does not understand

// How the program was asked to start, from the arguments of its command line (the program's
// own name already left out, as WinMain is given them).
struct StartRequest {
    enum class Kind {
        Normal,    // the whole program (any arguments but the reader mode's are ignored)
        ReadText,  // the reader mode, for `window`
        Refused,   // the reader mode's switch without exactly one window handle
    };
    Kind kind = Kind::Normal;
    HWND window = nullptr;
};
StartRequest ParseStartArguments(const char* arguments);
// The arguments that start the reader mode for the window.
std::string ReaderArguments(HWND window);

// What the reader writes after its text: the NUL and the status.
std::string ReplyStatus(const Outcome& result);

// The reader's reply as it reached the caller, whole or not.
struct CompanionReply {
    bool complete = false;  // the text's end and a known status arrived
    std::string text;       // complete: all of it; otherwise up to its last line end
    Outcome result;         // when complete
};
CompanionReply ParseReply(const std::string& bytes);

// How long the caller waits for the reader: the reader's own limit of one reading, one query's
// time-out (a query may start just before that limit), and the time a start may take.
const DWORD kCompanionStartMs = 10000;
DWORD CompanionTimeoutMs(const ReadLimits& limits);
// How long a reader asked to stop is given to end before the caller ends it: the query it may
// be waiting for, and a moment to free its blocks and answer.
const DWORD kReaderStopGraceMs = kControlQueryTimeoutMs + 1000;

// How a reading through the companion ended, seen from the caller.
struct CompanionEnd {
    enum class Kind {
        Missing,    // no companion in the program's folder
        NotStarted, // it is there but could not be started
        Ended,      // its process ended; its reply is all there is
        TimedOut,   // the time-out passed and the caller asked the reader to stop
        Stopped,    // the user stopped the reading and the caller asked the reader to stop
    };
    Kind kind = Kind::Ended;
    DWORD code = 0;          // NotStarted: the system's error; Ended: the exit code
    std::string folder;      // Missing: where it was looked for
    DWORD timeoutMs = 0;     // TimedOut: how long it was given
};
// The text and the result the user gets from the reply and the way the reading ended: the
// reader's own when its reply is complete; otherwise what arrived, with a note that says why
// the rest is missing, or a refusal when nothing arrived.
Outcome FinishCompanionReading(const std::string& reply, const CompanionEnd& end, std::string& text);
