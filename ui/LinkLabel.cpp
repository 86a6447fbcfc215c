#include "ui/LinkLabel.h"

#include "framework/MessageBox.h"
#include "framework/Unicode.h"
#include "framework/WindowText.h"

#include <shellapi.h>

#include <cstdio>
#include <vector>

namespace {
// The command buffer of the fallback, terminator included.
const size_t kCommandLimit = 520;
// What the registry may give for one value, terminator included.
const DWORD kValueLimit = 260;

// The first occurrence of the text, found character by character, so that the second byte of a
// double-byte character never starts a match.
size_t FindInText(const std::string& text, const std::string& what, UINT codePage)
{
    for (size_t i = 0; i + what.size() <= text.size(); ++i) {
        if (text.compare(i, what.size(), what) == 0)
            return i;
        if (::IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[i])))
            ++i;
    }
    return std::string::npos;
}
}  // namespace

CLinkLabel::CLinkLabel() : m_crHover(::GetSysColor(COLOR_HIGHLIGHT)) {}

COLORREF CLinkLabel::TextColour() const
{
    if (m_bHover)
        return m_crHover;
    return m_bVisited ? m_crVisited : m_crLink;
}

void CLinkLabel::SetUrl(const std::string& url)
{
    m_strUrl = url;
    if (!m_hWnd)
        return;
    FitToText();
    SetToolTipText(m_strUrl);
}

void CLinkLabel::SetVisited(BOOL visited)
{
    m_bVisited = visited;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CLinkLabel::PreSubclassWindow()
{
    AddNotifyStyle();
    const std::string text = WindowText(m_hWnd);
    if (m_strUrl.empty())
        m_strUrl = text;
    if (text.empty())
        ::SetWindowTextW(m_hWnd, Widen(m_strUrl).c_str());

    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTA logFont = {};
    if (::GetObjectA(font, sizeof logFont, &logFont)) {
        logFont.lfUnderline = m_bUnderline ? TRUE : FALSE;
        m_font.Reset(::CreateFontIndirectA(&logFont));
        if (m_font)
            ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
    }
    FitToText();
    LoadHandCursor();
    CreateToolTip(m_strUrl);
}

RECT FitRectToText(const RECT& rect, SIZE text, LONG style)
{
    RECT fitted = rect;
    if (style & SS_CENTERIMAGE) {
        const LONG shrink = (rect.bottom - rect.top - text.cy) / 2;
        fitted.top += shrink;
        fitted.bottom -= shrink;
    } else {
        fitted.bottom = fitted.top + text.cy;
    }
    if (style & SS_CENTER) {
        const LONG shrink = (rect.right - rect.left - text.cx) / 2;
        fitted.left += shrink;
        fitted.right -= shrink;
    } else if (style & SS_RIGHT) {
        fitted.left = fitted.right - text.cx;
    } else {
        fitted.right = fitted.left + text.cx;
    }
    return fitted;
}

void CLinkLabel::FitToText()
{
    if (!m_hWnd || !m_bFitToText)
        return;
    RECT rect = {};
    ::GetWindowRect(m_hWnd, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&rect), 2);
    const std::wstring text = Widen(WindowText(m_hWnd));
    SIZE extent = {};
    {
        CClientDC dc(m_hWnd);
        if (!dc)
            return;
        CSelectObject selected(dc, m_font);
        if (!::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent))
            return;
    }
    rect = FitRectToText(rect, extent, ::GetWindowLongA(m_hWnd, GWL_STYLE));
    ::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CLinkLabel::OnReflectedMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
        OnClicked();
        result = 0;
        return true;
    }
    if (msg == WM_CTLCOLORSTATIC) {
        // Transparent, so that the dialog's background shows through the text.
        const HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, TextColour());
        ::SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        return true;
    }
    return false;
}

void CLinkLabel::OnClicked()
{
    const INT_PTR result = OpenUrl(m_strUrl, SW_SHOW);
    if (result > 32) {
        SetVisited(TRUE);
        return;
    }
    m_bVisited = FALSE;
    ::MessageBeep(MB_ICONEXCLAMATION);
    // The message box takes the mouse: a hover left running would keep it from its buttons.
    EndHover();
    ReportOpenError(result);
}

bool BuildOpenCommand(const std::string& registered, const std::string& target, std::string& command,
                      UINT codePage)
{
    size_t cut = FindInText(registered, "\"%1\"", codePage);
    if (cut == std::string::npos)
        cut = FindInText(registered, "%1", codePage);
    command = registered.substr(0, cut) + " " + target;
    if (command.size() < kCommandLimit)
        return true;
    command.clear();
    return false;
}

bool ReadClassesRootDefault(const std::string& subkey, std::string& value)
{
    value.clear();
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, subkey.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    CRegKey key(opened);
    char text[kValueLimit] = "";
    DWORD size = sizeof text - 1;  // room kept for a terminator the value may lack
    DWORD type = 0;
    if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    text[size] = '\0';
    value = text;
    return true;
}

INT_PTR OpenUrl(const std::string& target, int showCommand)
{
    const INT_PTR shell = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, showCommand));
    if (shell > 32)
        return shell;
    // The program that opens web pages, given the target itself.
    std::string fileType, registered, command;
    if (!ReadClassesRootDefault(".htm", fileType) ||
        !ReadClassesRootDefault(fileType + "\\shell\\open\\command", registered) ||
        !BuildOpenCommand(registered, target, command))
        return shell;
    return static_cast<INT_PTR>(::WinExec(command.c_str(), static_cast<UINT>(showCommand)));
}

std::string OpenErrorText(INT_PTR code)
{
    switch (code) {
    case 0:
        return "The operating system is out\nof memory or resources.";
    case SE_ERR_FNF:
        return "The specified file was not found.";
    case SE_ERR_PNF:
        return "The specified path was not found.";
    case SE_ERR_ACCESSDENIED:
        return "The operating system denied\naccess to the specified file.";
    case SE_ERR_OOM:
        return "There was not enough memory to complete the operation.";
    case ERROR_BAD_FORMAT:
        return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case SE_ERR_SHARE:
        return "A sharing violation occurred. ";
    case SE_ERR_ASSOCINCOMPLETE:
        return "The filename association is\nincomplete or invalid.";
    case SE_ERR_DDETIMEOUT:
        return "The DDE transaction could not\nbe completed because the request timed out.";
    case SE_ERR_DDEFAIL:
        return "The DDE transaction failed.";
    case SE_ERR_DDEBUSY:
        return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case SE_ERR_NOASSOC:
        return "There is no application associated\nwith the given filename extension.";
    case SE_ERR_DLLNOTFOUND:
        return "The specified dynamic-link library was not found.";
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "Unknown Error (%d) occurred.", static_cast<int>(code));
        return text;
    }
    }
}

void ReportOpenError(INT_PTR code)
{
    AppMessageBox("Unable to open hyperlink:\n\n" + OpenErrorText(code), MB_OK | MB_ICONEXCLAMATION);
}
