#include "support/Dialogs.h"

#include "support/Files.h"
#include "support/Process.h"

#include <vector>

namespace testing_support {

namespace {
const DWORD kAnswerMs = 5000;

LRESULT Send(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &result);
    return static_cast<LRESULT>(result);
}
}  // namespace

HWND WaitForDialog(DWORD pid, const char* caption, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : TopLevelWindows(pid, "#32770"))
                if (::IsWindowVisible(hwnd) && testing_support::TextOf(hwnd) == caption)
                    found = hwnd;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool WaitUntilPainted(HWND window, DWORD timeoutMs)
{
    return WaitUntil(
        [&] {
            bool painted = ::IsWindowVisible(window) && !::GetUpdateRect(window, nullptr, FALSE);
            for (HWND child = ::GetWindow(window, GW_CHILD); painted && child; child = ::GetWindow(child, GW_HWNDNEXT))
                painted = !::GetUpdateRect(child, nullptr, FALSE);
            return painted;
        },
        timeoutMs);
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs)
{
    return WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, timeoutMs);
}

HWND FindMessageBox(DWORD pid, const char* caption)
{
    // The dialog with its text in a static of id 0xFFFF, and no edit fields.
    for (HWND hwnd : TopLevelWindows(pid, "#32770"))
        if (::IsWindowVisible(hwnd) && testing_support::TextOf(hwnd) == caption && ::GetDlgItem(hwnd, 0xFFFF) &&
            !::FindWindowExA(hwnd, nullptr, "Edit", nullptr))
            return hwnd;
    return nullptr;
}

CMessageBoxSeen AnswerMessageBox(DWORD pid, int button, const char* caption, DWORD timeoutMs)
{
    CMessageBoxSeen seen;
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindMessageBox(pid, caption)) != nullptr; }, timeoutMs);
    if (!box)
        return seen;
    seen.found = true;
    seen.text = TextOf(box, 0xFFFF);
    ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    WaitUntilClosed(box);
    return seen;
}

void Press(HWND dialog, int id)
{
    ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void TypeText(HWND dialog, int id, const std::string& text)
{
    const HWND edit = ::GetDlgItem(dialog, id);
    Send(edit, EM_SETSEL, 0, -1);
    if (text.empty())
        Send(edit, WM_CHAR, VK_BACK, 1);
    for (char c : text)
        Send(edit, WM_CHAR, static_cast<BYTE>(c), 1);
}

void TypeChar(HWND dialog, int id, char c)
{
    const HWND edit = ::GetDlgItem(dialog, id);
    Send(edit, EM_SETSEL, 0x7FFF, 0x7FFF);
    Send(edit, WM_CHAR, static_cast<BYTE>(c), 1);
}

void ChooseItem(HWND dialog, int id, int index)
{
    Send(::GetDlgItem(dialog, id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ChosenItem(HWND dialog, int id)
{
    return static_cast<int>(Send(::GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
}

std::string WindowText(HWND window)
{
    std::vector<wchar_t> text(1024);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                          5000, &result);
    return Utf8Of(text.data());
}

void SetText(HWND dialog, int id, const std::string& text)
{
    const std::wstring wide = Wide(text);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                          SMTO_ABORTIFHUNG, 5000, &result);
}

std::string TextOf(HWND dialog, int id)
{
    return WindowText(::GetDlgItem(dialog, id));
}

std::string NamedTexts(HWND dialog, std::initializer_list<std::pair<const char*, int>> controls)
{
    std::string texts;
    for (const auto& control : controls)
        texts += (texts.empty() ? "" : " ") + std::string(control.first) + "=" + TextOf(dialog, control.second);
    return texts;
}

bool IsChecked(HWND dialog, int id)
{
    return Send(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace testing_support
