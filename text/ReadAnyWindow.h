// The text of any program's window, read where it can be read: in this process, or, for the
// tree of a 64-bit program that a 32-bit reader cannot walk, through the 64-bit companion.
// Nothing is delivered and nothing is shown here.
#pragma once

#include "text/TextSink.h"
#include "framework/Outcome.h"

#include <windows.h>

#include <string>

// The sink, if any, is told how far the reading has come and may stop it (whole items kept).
Outcome ReadControlText(HWND control, std::string& text, CTextSink* sink = nullptr);
