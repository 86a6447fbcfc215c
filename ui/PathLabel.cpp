#include "ui/PathLabel.h"

#include "framework/Handles.h"
#include "framework/Unicode.h"
#include "framework/WindowText.h"

LRESULT CPathLabel::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETTEXT:
        Default();
        // A shorter path must not leave the end of the longer one behind.
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return TRUE;
    case WM_ERASEBKGND: {
        RECT client = {};
        ::GetClientRect(m_hWnd, &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_PAINT:
        Paint();
        return 0;
    default:
        return CWnd::WindowProc(msg, wParam, lParam);
    }
}

void CPathLabel::Paint()
{
    CPaintDC paint(m_hWnd);
    const HWND parent = ::GetParent(m_hWnd);
    const HFONT font = parent ? reinterpret_cast<HFONT>(::SendMessageA(parent, WM_GETFONT, 0, 0)) : nullptr;
    // Without a font of the parent the context's own stays (selecting nothing changes nothing).
    CSelectObject selected(paint, font);
    // Drawn wide: a path in any script is shown as it is.
    const std::wstring text = Widen(WindowText(m_hWnd));
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    // Drawn without DT_MODIFYSTRING: the text keeps the whole path.
    ::DrawTextW(paint, text.c_str(), static_cast<int>(text.size()), &client, m_nFormat | DT_PATH_ELLIPSIS);
}
