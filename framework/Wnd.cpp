#include "framework/Wnd.h"

#include <commctrl.h>

namespace {
// Identifies our subclass among others that may be installed on the same control.
const UINT_PTR kSubclassId = 0x50584C;
// The window property through which a parent finds the object attached to a control.
const char kObjectProperty[] = "Pixlet32.CWnd";
}  // namespace

POINT PointFromLParam(LPARAM lParam)
{
    // As GET_X_LPARAM and GET_Y_LPARAM of <windowsx.h> (whose macros would rename our members):
    // each coordinate is a signed 16-bit number.
    return POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
}

CWnd::~CWnd()
{
    UnsubclassWindow();
}

bool CWnd::SubclassWindow(HWND hwnd)
{
    if (m_bSubclassed || !::IsWindow(hwnd))
        return false;
    m_hWnd = hwnd;
    PreSubclassWindow();
    if (!::SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        m_hWnd = nullptr;
        return false;
    }
    ::SetPropA(hwnd, kObjectProperty, this);
    m_bSubclassed = true;
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, HWND parent)
{
    return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hwnd = m_hWnd;
    if (m_bSubclassed && ::IsWindow(hwnd)) {
        ::RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        ::RemovePropA(hwnd, kObjectProperty);
    }
    m_bSubclassed = false;
    m_hWnd = nullptr;
    return hwnd;
}

CWnd* CWnd::FromSubclassed(HWND hwnd)
{
    return hwnd ? static_cast<CWnd*>(::GetPropA(hwnd, kObjectProperty)) : nullptr;
}

bool CWnd::ReflectToControl(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    CWnd* wnd = FromSubclassed(control);
    return wnd && wnd->OnReflectedMessage(msg, wParam, lParam, result);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (DispatchTypedHooks(msg, wParam, lParam, result))
        return result;
    return Default();
}

bool CWindowBase::DispatchTypedHooks(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const UINT flags = static_cast<UINT>(wParam);
    switch (msg) {
    case WM_PAINT:
        result = 0;
        return OnPaint();
    case WM_MOUSEMOVE:
        OnMouseMove(flags, PointFromLParam(lParam));
        return false;
    case WM_LBUTTONDOWN:
        OnLButtonDown(flags, PointFromLParam(lParam));
        return false;
    case WM_LBUTTONUP:
        OnLButtonUp(flags, PointFromLParam(lParam));
        return false;
    case WM_RBUTTONDOWN:
        OnRButtonDown(flags, PointFromLParam(lParam));
        return false;
    case WM_RBUTTONUP:
        OnRButtonUp(flags, PointFromLParam(lParam));
        return false;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return false;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(reinterpret_cast<HWND>(lParam));
        return false;
    case WM_DESTROY:
        OnDestroy();
        return false;
    default:
        return false;
    }
}

bool CWnd::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT CWnd::Default()
{
    if (!m_pCurrent)
        return 0;
    return ::DefSubclassProc(m_hWnd, m_pCurrent->msg, m_pCurrent->wParam, m_pCurrent->lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR refData)
{
    CWnd* wnd = reinterpret_cast<CWnd*>(refData);
    const CurrentMessage current = {msg, wParam, lParam};
    const CurrentMessage* outer = wnd->m_pCurrent;
    wnd->m_pCurrent = &current;
    const LRESULT result = CallGuarded([&] { return wnd->WindowProc(msg, wParam, lParam); },
                                       [&] { return ::DefSubclassProc(hwnd, msg, wParam, lParam); });
    wnd->m_pCurrent = outer;
    if (msg == WM_NCDESTROY) {
        // The control is gone: detach so the object does not point at a dead window.
        ::RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        ::RemovePropA(hwnd, kObjectProperty);
        wnd->m_bSubclassed = false;
        wnd->m_hWnd = nullptr;
    }
    return result;
}
