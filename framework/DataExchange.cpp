#include "framework/DataExchange.h"

#include "framework/MessageBox.h"
#include "framework/MessageFormat.h"
#include "framework/Paths.h"
#include "framework/Unicode.h"
#include "framework/WindowText.h"

HWND CDataExchange::PrepareCtrl(int id)
{
    if (m_bFailed)
        return nullptr;
    m_hLastControl = ::GetDlgItem(m_hDlgWnd, id);
    return m_hLastControl;
}

void CDataExchange::Fail()
{
    m_bFailed = true;
    if (m_hLastControl) {
        ::SetFocus(m_hLastControl);
        ::SendMessageA(m_hLastControl, EM_SETSEL, 0, -1);
    }
}

void DDX_Check(CDataExchange* pDX, int id, BOOL& value)
{
    const HWND control = pDX->PrepareCtrl(id);
    if (!control)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<BOOL>(::SendMessageA(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* pDX, int id, int& value)
{
    HWND control = pDX->PrepareCtrl(id);
    if (!control)
        return;
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from its first button up to the next control that starts a group.
    int index = 0;
    do {
        if (::SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageA(control, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
                    value = index;
            } else {
                ::SendMessageA(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        control = ::GetWindow(control, GW_HWNDNEXT);
    } while (control && !(::GetWindowLongA(control, GWL_STYLE) & WS_GROUP));
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value)
{
    const HWND control = pDX->PrepareCtrl(id);
    if (!control)
        return;
    if (pDX->m_bSaveAndValidate)
        value = WindowText(control);
    // Set only when it changes: setting an edit's text puts its caret back at the start, so a
    // refresh while the user types (a handler of its change notification that shows the fields
    // again) would turn "abc" into "cba".
    else if (WindowText(control) != value)
        ::SetWindowTextW(control, Widen(value).c_str());
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars)
{
    const HWND control = pDX->LastControl();
    if (pDX->Failed() || !control)
        return;
    if (!pDX->m_bSaveAndValidate) {
        // The edit itself refuses longer input.
        ::SendMessageA(control, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    } else if (SystemLength(value) > static_cast<size_t>(maxChars)) {
        // Counted as the edit counts them, characters rather than bytes of UTF-8.
        AppMessageBox(FormatMessage1("Please enter no more than %1 characters.", std::to_string(maxChars)),
                      MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}
