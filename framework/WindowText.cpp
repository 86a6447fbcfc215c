#include "framework/WindowText.h"

#include <vector>

std::string WindowText(HWND window)
{
    std::vector<char> text(static_cast<size_t>(::GetWindowTextLengthA(window)) + 1);
    const int length = ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), length > 0 ? static_cast<size_t>(length) : 0);
}
