#include "ui/HoverLink.h"

#include "framework/App.h"

#include <commctrl.h>

namespace {
const UINT_PTR kToolId = 1;
// The hand among the cursors of the system's help program.
const WORD kHelpHandCursor = 106;

// The record of the one tool, in the size that every version of the common controls accepts.
TOOLINFOA ToolInfo(HWND control)
{
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = control;
    info.uId = kToolId;
    return info;
}
}  // namespace

LRESULT CHoverLink::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST)
        RelayToToolTip(msg, wParam, lParam);
    switch (msg) {
    case WM_SETCURSOR:
        if (!m_hCursor)
            break;
        ::SetCursor(m_hCursor);
        return TRUE;
    case WM_MOUSEMOVE: {
        const LRESULT result = Default();
        TrackHover(PointFromLParam(lParam));
        return result;
    }
    case WM_CAPTURECHANGED:
        // Taken away (another window took the mouse, a program came to the front): the mouse is
        // no longer known to be here, and the colours must not stay those of a hover.
        if (m_bHover && reinterpret_cast<HWND>(lParam) != m_hWnd) {
            m_bHover = FALSE;
            RedrawNow();
        }
        break;
    case WM_DESTROY:
        m_toolTip.Reset();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

void CHoverLink::TrackHover(POINT point)
{
    if (!m_bHover) {
        m_bHover = TRUE;
        RedrawNow();
        m_capture.Take(m_hWnd);
        return;
    }
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    if (!::PtInRect(&client, point))
        EndHover();
}

void CHoverLink::EndHover()
{
    m_bHover = FALSE;
    m_capture.Release();
    RedrawNow();
}

void CHoverLink::RedrawNow()
{
    if (m_hWnd)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CHoverLink::AddNotifyStyle()
{
    ::SetWindowLongA(m_hWnd, GWL_STYLE, ::GetWindowLongA(m_hWnd, GWL_STYLE) | SS_NOTIFY);
}

void CHoverLink::LoadHandCursor()
{
    if (m_hCursor)
        return;
    wchar_t path[MAX_PATH + 16] = L"";
    const UINT length = ::GetWindowsDirectoryW(path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        ::lstrcatW(path, L"\\winhlp32.exe");
        // Only its resources are wanted: as data it loads whatever its processor.
        CModuleHandle help(::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
        if (help) {
            if (HCURSOR hand = ::LoadCursorA(help, MAKEINTRESOURCEA(kHelpHandCursor)))
                m_hCursor.Reset(static_cast<HCURSOR>(::CopyIcon(hand)));
        }
    }
    // Newer systems' help programs (and Wine's) carry no cursors: the system's own hand then.
    if (!m_hCursor) {
        if (HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND))
            m_hCursor.Reset(static_cast<HCURSOR>(::CopyIcon(hand)));
    }
}

void CHoverLink::CreateToolTip(const std::string& text)
{
    m_toolTip.Reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                      GetAppInstance(), nullptr));
    if (!m_toolTip)
        return;
    TOOLINFOA info = ToolInfo(m_hWnd);
    ::GetClientRect(m_hWnd, &info.rect);
    info.lpszText = const_cast<char*>(text.c_str());
    ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void CHoverLink::SetToolTipText(const std::string& text)
{
    if (!m_toolTip)
        return;
    TOOLINFOA info = ToolInfo(m_hWnd);
    info.lpszText = const_cast<char*>(text.c_str());
    ::SendMessageA(m_toolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void CHoverLink::RelayToToolTip(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!m_toolTip)
        return;
    const DWORD pos = ::GetMessagePos();
    MSG relayed = {m_hWnd, msg, wParam, lParam, static_cast<DWORD>(::GetMessageTime()),
                   POINT{static_cast<SHORT>(LOWORD(pos)), static_cast<SHORT>(HIWORD(pos))}};
    ::SendMessageA(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}
