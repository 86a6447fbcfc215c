#include "support/Clipboard.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <cstring>

namespace testing_support {

CClipboardOwner::CClipboardOwner()
    : m_hWnd(::CreateWindowExA(0, "STATIC", "owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr))
{
}

CClipboardOwner::~CClipboardOwner()
{
    ::DestroyWindow(m_hWnd);
}

std::string ClipboardText()
{
    std::string text;
    if (!::OpenClipboard(nullptr))
        return "<clipboard not available>";
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    } else {
        text = "<no text>";
    }
    ::CloseClipboard();
    return text;
}

std::wstring ClipboardUnicodeText()
{
    std::wstring text;
    if (!::OpenClipboard(nullptr))
        return L"<clipboard not available>";
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    } else {
        text = L"<no text>";
    }
    ::CloseClipboard();
    return text;
}

void PutOnClipboard(const char* text)
{
    // The data stays on the clipboard after its owner window is gone.
    CClipboardOwner owner;
    // The program may still hold it open a moment after it put a picture there.
    ASSERT_TRUE(WaitUntil([&] { return ::OpenClipboard(owner) != FALSE; }, 2000)) << "the clipboard could not be opened";
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::strcpy(static_cast<char*>(::GlobalLock(block)), text);
    ::GlobalUnlock(block);
    EXPECT_TRUE(::SetClipboardData(CF_TEXT, block)) << "the clipboard did not take the text";
    ::CloseClipboard();
}

}  // namespace testing_support
