#include "framework/Paths.h"

bool EndsWithBackslash(const std::string& text, UINT codePage)
{
    // Walked from the start: only there is it known which bytes begin a character.
    bool backslash = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const BYTE byte = static_cast<BYTE>(text[i]);
        backslash = byte == '\\';
        if (::IsDBCSLeadByteEx(codePage, byte) && i + 1 < text.size())
            ++i;
    }
    return backslash;
}
