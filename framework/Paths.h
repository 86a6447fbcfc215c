// Tests on file and folder paths held as text of a code page.
#pragma once

#include <windows.h>

#include <string>

// Whether the last character of the text is a backslash. On a double-byte code page (932, 936,
// 949, 950) the byte 0x5C may be the second half of a character, which is no backslash.
bool EndsWithBackslash(const std::string& text, UINT codePage = CP_ACP);
