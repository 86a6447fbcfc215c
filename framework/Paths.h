// Tests on file and folder paths held as UTF-8 text, and making folders.
#pragma once

#include <windows.h>

#include <string>

// Whether the last character of the text is a backslash. In UTF-8 the byte 0x5C is never a
// part of another character, so the last byte tells.
bool EndsWithBackslash(const std::string& text);

// The length of the text as the system counts it where it limits a path (MAX_PATH) or a text
// box: in UTF-16 code units, not in bytes. "截图" is 2; a character beyond the 65536 first is 2.
size_t SystemLength(const std::string& utf8);

// Makes the folder and every folder above it that is missing. True when the folder exists
// afterwards.
bool MakeFolderPath(const std::string& folder);

// The name by which a service that takes names through the ANSI code page, or in buffers of the
// old length of 128 characters (the AVIFile library opens its files so under Windows, and turns
// names into the code page under Wine), still finds the file: the path itself where the code
// page holds all its characters and it is shorter than 128; otherwise the file's short name,
// which the system makes of its folders' and its own long or foreign names where the volume
// keeps short names (else the path as it is). For that, such a file is created (or emptied) here.
std::wstring NameForAnsiServices(const std::string& path);
