#include "framework/Dialog.h"

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/MessagePump.h"

#include <commdlg.h>

#include <cstring>

namespace {
// Resource type of a dialog's initialisation data: the items its combo and list boxes start with.
const WORD kResourceDlgInit = 240;
// The item messages of that data as older resource compilers write them.
const WORD kLegacyListAdd = WM_USER + 1;
const WORD kLegacyComboAdd = WM_USER + 3;

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg)
{
    switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}
}  // namespace

CDialog::CDialog(UINT idTemplate, HWND parent) : m_idTemplate(idTemplate), m_hParent(parent) {}

CDialog::~CDialog()
{
    if (m_hWnd && !m_bModal) {
        // The derived object is gone already: the window's last messages must not reach it.
        ::SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        UnregisterModeless(m_hWnd);
        if (CWinApp* app = GetApp()) {
            if (app->m_pMainWnd == this)
                app->m_pMainWnd = nullptr;
        }
        ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

INT_PTR CDialog::DoModal()
{
    // Without a parent the application's window owns the dialog, as it owns every window the
    // program shows: no taskbar button, and the dialog stays above it.
    const HWND owner = m_hParent ? m_hParent : GetAppMainWindow();
    m_bModal = true;
    const INT_PTR result = ::DialogBoxParamW(GetAppInstance(), MAKEINTRESOURCEW(m_idTemplate), owner, DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return result;
}

bool CDialog::Create()
{
    m_bModal = false;
    const HWND hwnd = ::CreateDialogParamW(GetAppInstance(), MAKEINTRESOURCEW(m_idTemplate), m_hParent, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (!hwnd)
        return false;
    // Its keys (Tab, arrows, Enter, Esc) reach it from whichever loop runs.
    RegisterModeless(hwnd);
    return true;
}

BOOL CDialog::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CDialog::EndDialog(int result)
{
    if (!m_hWnd)
        return;
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        ::DestroyWindow(m_hWnd);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    const bool wasLocked = m_bLockNotify;
    m_bLockNotify = true;
    CDataExchange dx(m_hWnd, bSaveAndValidate);
    DoDataExchange(&dx);
    m_bLockNotify = wasLocked;
    return dx.Failed() ? FALSE : TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case WM_COMMAND:
        result = 0;
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam), result);
    default:
        return DispatchTypedHooks(msg, wParam, lParam, result);
    }
}

bool CDialog::OnCommand(UINT id, UINT code, HWND)
{
    if (code != BN_CLICKED)
        return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool CDialog::OnNotify(NMHDR*, LRESULT&)
{
    return false;
}

bool CDialog::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HWND control = nullptr;
    switch (msg) {
    case WM_COMMAND:
        control = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        control = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
        control = reinterpret_cast<HWND>(lParam);
        break;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU)
            control = item->hwndItem;
        break;
    }
    default:
        break;
    }
    return control && CWnd::ReflectToControl(control, msg, wParam, lParam, result);
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        RECT before = {}, after = {};
        ::GetWindowRect(m_hWnd, &before);
        ExecuteDlgInit();
        const BOOL result = OnInitDialog();
        ::GetWindowRect(m_hWnd, &after);
        if (SameRect(before, after) && !(::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD))
            CenterOnOwner();
        return result;
    }
    // While fields and controls exchange data, the controls' change notifications are not news.
    if (m_bLockNotify && ((msg == WM_COMMAND && lParam) || msg == WM_NOTIFY))
        return TRUE;

    LRESULT result = 0;
    bool handled = ReflectToChild(msg, wParam, lParam, result);
    if (!handled)
        handled = OnMessage(msg, wParam, lParam, result);
    if (!handled)
        return FALSE;
    if (ReturnsResultDirectly(msg))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return Route(hwnd, msg, wParam, lParam, msg == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lParam) : nullptr);
}

UINT_PTR CALLBACK CDialog::FileDialogHookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CDialog* binding = nullptr;
    if (msg == WM_INITDIALOG && lParam)
        binding = reinterpret_cast<CDialog*>(reinterpret_cast<const OPENFILENAMEW*>(lParam)->lCustData);
    return static_cast<UINT_PTR>(Route(hwnd, msg, wParam, lParam, binding));
}

INT_PTR CDialog::Route(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, CDialog* binding)
{
    CDialog* dlg = binding;
    if (dlg) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dlg));
        dlg->m_hWnd = hwnd;
    } else {
        dlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (WM_SETFONT) and after WM_NCDESTROY find no object.
    if (!dlg)
        return FALSE;

    // A message whose handler threw counts as not handled: the default processing takes it.
    const INT_PTR result =
        CallGuarded([&] { return dlg->Dispatch(msg, wParam, lParam); }, [] { return static_cast<INT_PTR>(FALSE); });

    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        dlg->m_hWnd = nullptr;
        bool wasMain = false;
        UnregisterModeless(hwnd);
        if (CWinApp* app = GetApp()) {
            wasMain = app->m_pMainWnd == dlg;
            if (wasMain)
                app->m_pMainWnd = nullptr;
        }
        // Before the loop is told to end: a message box shown here (a recording's file that
        // could not be closed) still runs its own loop, which a quit message would end at once.
        CallGuarded([&] { dlg->PostNcDestroy(); }, [] {});
        // The main window is gone: the message loop ends.
        if (wasMain)
            ::PostQuitMessage(0);
    }
    return result;
}

void CDialog::ExecuteDlgInit()
{
    const HINSTANCE instance = GetAppInstance();
    const HRSRC info = ::FindResourceA(instance, MAKEINTRESOURCEA(m_idTemplate), MAKEINTRESOURCEA(kResourceDlgInit));
    if (!info)
        return;
    const HGLOBAL loaded = ::LoadResource(instance, info);
    const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!data)
        return;
    const BYTE* const end = data + ::SizeofResource(instance, info);
    // Items: WORD control id (0 ends the list), WORD message, DWORD length, then the data.
    for (const BYTE* p = data; p + 8 <= end;) {
        WORD id = 0, message = 0;
        DWORD length = 0;
        std::memcpy(&id, p, 2);
        if (id == 0)
            break;
        std::memcpy(&message, p + 2, 2);
        std::memcpy(&length, p + 4, 4);
        p += 8;
        if (length > static_cast<DWORD>(end - p))
            break;
        if (message == kLegacyComboAdd)
            message = CB_ADDSTRING;
        else if (message == kLegacyListAdd)
            message = LB_ADDSTRING;
        ::SendDlgItemMessageA(m_hWnd, id, message, 0, reinterpret_cast<LPARAM>(p));
        p += length;
    }
}

void CDialog::CenterOnOwner()
{
    RECT area = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT around = area;
    // A hidden or minimised owner (such as the program's hidden main window) is no reference:
    // the dialog is then centred on the screen.
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &around);
    RECT self = {};
    ::GetWindowRect(m_hWnd, &self);
    const int width = self.right - self.left, height = self.bottom - self.top;
    int x = (around.left + around.right - width) / 2;
    int y = (around.top + around.bottom - height) / 2;
    if (x + width > area.right)
        x = area.right - width;
    if (y + height > area.bottom)
        y = area.bottom - height;
    if (x < area.left)
        x = area.left;
    if (y < area.top)
        y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
