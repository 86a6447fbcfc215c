// A reading of a window's text run on a thread of its own, so that the interface thread goes on
// answering its messages meanwhile: a reading that lasts shows how far it has come, with Stop.
#pragma once

#include "framework/Outcome.h"

#include <windows.h>

#include <string>

// How long a reading runs before it shows its progress: one that ends sooner shows nothing.
const DWORD kProgressAfterMs = 1000;

// Reads the window's text as ReadControlText does, while this (the interface) thread answers
// its messages, the sent ones of the reading among them (the window may be one of this
// process). After kProgressAfterMs the progress window, owned by `owner`, shows until the
// reading ends, however it ends. A quit message that arrives meanwhile stops the reading and
// is posted again.
Outcome ReadShowingProgress(HWND control, std::string& text, HWND owner);
