// Both sides of the 64-bit companion (the protocol is in CompanionProtocol.h): the 32-bit
// program starting it for one window and taking its answer, and the reader mode answering.
#pragma once

#include "text/TextSink.h"
#include "framework/Outcome.h"

#include <windows.h>

#include <string>
#include <vector>

// Reads the window's text through the companion in this program's folder, waiting no longer
// than the companion's time-out. The sink, if any, is told of the whole lines as they arrive;
// when it wants no more, or asks to stop, the companion is asked to stop (and ended if it does
// not) and the lines it gave are kept, noted as stopped.
Outcome ReadThroughCompanion(HWND window, std::string& text, CTextSink* sink = nullptr);
// The same through the given program and time-out.
Outcome ReadThroughCompanion(const wchar_t* program, HWND window, DWORD timeoutMs, std::string& text,
                             CTextSink* sink = nullptr);

// Paths are wide, so that a folder of any name is found; kept as NUL-terminated characters
// (std::wstring would bring a large part of the C++ library into the program for little).
using CWidePath = std::vector<wchar_t>;
// The companion's path: in the folder of this program's executable.
CWidePath CompanionPath();

// The reader mode: reads the window and writes the reply on `output`, stopping early once
// `input` is closed; the exit code.
DWORD ServeTextReading(HWND window, HANDLE output, HANDLE input);
