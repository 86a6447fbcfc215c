// Text inside the program is UTF-8 in std::string: captured text, paths, settings. The system is
// asked and told in its wide (UTF-16) forms, so that no character outside the ANSI code page is
// lost on the way; these turn one into the other at that border.
#pragma once

#include <windows.h>

#include <string>

std::wstring Widen(const std::string& utf8);
std::string Utf8(const wchar_t* text, size_t length);
std::string Utf8(const std::wstring& text);
// A NUL-terminated wide text (nullptr gives an empty text).
std::string Utf8(const wchar_t* text);

// The text in the ANSI code page as the system itself turns text into it (best fit, then '?'),
// for the places that must hand over ANSI text: CF_TEXT beside CF_UNICODETEXT.
std::string Ansi(const std::wstring& text);
