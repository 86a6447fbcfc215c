// The clipboard as the tests set it up and read it back.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// A window of this process to own the clipboard, destroyed with the object.
class CClipboardOwner
{
public:
    CClipboardOwner();
    ~CClipboardOwner();
    CClipboardOwner(const CClipboardOwner&) = delete;
    CClipboardOwner& operator=(const CClipboardOwner&) = delete;
    operator HWND() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

// The clipboard's CF_TEXT; "<no text>" when it holds none, "<clipboard not available>" when
// it cannot be opened.
std::string ClipboardText();
// The clipboard's CF_UNICODETEXT, likewise.
std::wstring ClipboardUnicodeText();
// What the clipboard holds, asked without opening it, so that the program is never kept from it.
inline bool HasText() { return ::IsClipboardFormatAvailable(CF_TEXT) != FALSE; }
inline bool HasBitmap() { return ::IsClipboardFormatAvailable(CF_BITMAP) != FALSE; }
// Empties the clipboard and puts this text on it (a failure of the calling test otherwise).
void PutOnClipboard(const char* text);

}  // namespace testing_support
