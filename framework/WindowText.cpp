#include "framework/WindowText.h"

#include "framework/Unicode.h"

#include <vector>

std::string WindowText(HWND window)
{
    // Asked in the wide form: a name outside the ANSI code page arrives whole.
    std::vector<wchar_t> text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1);
    const int length = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return Utf8(text.data(), length > 0 ? static_cast<size_t>(length) : 0);
}
