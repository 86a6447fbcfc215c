// The text of a window of this program, whatever its length.
#pragma once

#include <windows.h>

#include <string>

// GetWindowText in full, as UTF-8; empty for a window without text or one that is gone.
std::string WindowText(HWND window);
