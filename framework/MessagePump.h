// The program's one way of answering a thread's messages: the main message loop and every wait
// of the interface thread for other work (a reading of a window's text, a recording's file being
// completed) dispatch them alike, in the wide forms, so that a character typed into any dialog
// meanwhile arrives whole, in any script, and a modeless dialog gets its keys (Tab, Enter, Esc).
#pragma once

#include <windows.h>

// Modeless dialogs whose keyboard handling the dispatch gives them.
void RegisterModeless(HWND dialog);
void UnregisterModeless(HWND dialog);

// Translates and dispatches one message of this thread, or gives it to the modeless dialog it
// belongs to.
void DispatchThreadMessage(MSG& msg);

// How a wait that answers messages ended.
enum class PumpEnd {
    Signalled,  // the object was signalled
    TimedOut,   // the time passed first
    Quit,       // a WM_QUIT arrived: taken from the queue, its code given back
    Failed,     // the object cannot be waited for (a handle closed under the wait)
};
// Waits until `object` is signalled or `timeoutMs` (INFINITE: no limit) passes, answering this
// thread's messages meanwhile, the messages other threads send to it among them (a program
// whose window is read may be waiting for an answer of ours). A quit message ends the wait
// with its code in `quitCode`: the caller ends its work, then posts it again.
PumpEnd PumpMessagesUntil(HANDLE object, DWORD timeoutMs, int* quitCode = nullptr);
