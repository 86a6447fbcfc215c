// The base of every dialog of the program, modal or modeless, built from a dialog template.
// Messages arrive at the virtual OnMessage, the dialog's message table: a dialog overrides it
// with a switch over the messages it handles and passes the others to the base, which turns
// commands, notifications, painting, mouse, timer and capture messages into typed hooks.
#pragma once

#include "framework/Wnd.h"

class CDataExchange;

class CDialog : public CWindowBase
{
public:
    explicit CDialog(UINT idTemplate, HWND parent = nullptr);
    ~CDialog() override;

    // Runs the dialog in its own message loop; IDOK, IDCANCEL or what EndDialog was given, -1 on failure.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless; it shows itself only if its template says so.
    bool Create();
    BOOL DestroyWindow();
    // Ends the dialog: a modal one leaves its loop with the result (EndDialog), a modeless one
    // is destroyed (EndDialog would only hide it).
    void EndDialog(int result);

    // Moves the data of the fields into the controls (FALSE) or back and validates (TRUE).
    // While it runs, the dialog's controls' notifications are not dispatched.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    UINT GetTemplateId() const { return m_idTemplate; }
    // The parent given at construction (null: the application's window owns a modal run).
    HWND GetParentWindow() const { return m_hParent; }

protected:
    // Fills combo and list boxes from the template's initialisation data and the controls
    // from the fields. Returning TRUE gives the focus to the first tab stop.
    virtual BOOL OnInitDialog();
    // Enter and the OK button: validate, then end with IDOK.
    virtual void OnOK();
    // Escape, the close box and the Cancel button: end with IDCANCEL.
    virtual void OnCancel();
    bool IsModal() const { return m_bModal; }
    virtual void DoDataExchange(CDataExchange* pDX);
    // The dialog's message table. Return true with result set to handle a message, false to
    // leave it to the default processing of dialogs.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // WM_COMMAND from a menu, an accelerator or a control; true when handled.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    // WM_NOTIFY from a control; true (with result set) when handled.
    virtual bool OnNotify(NMHDR* header, LRESULT& result);
    // The window is gone; m_hWnd is already null. For the application's main window, the
    // message loop is told to end after this.
    virtual void PostNcDestroy() {}

    // The hook procedure of a common file dialog opened with OFN_ENABLEHOOK and this object in
    // the OPENFILENAME's lCustData: the hook's child dialog is bound to this object and its
    // messages dispatched like those of any dialog.
    static UINT_PTR CALLBACK FileDialogHookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Binds `binding` to the window at WM_INITDIALOG (it is null for every other message),
    // finds the bound object otherwise, and dispatches behind an exception barrier.
    static INT_PTR Route(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, CDialog* binding);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ExecuteDlgInit();
    void CenterOnOwner();

    UINT m_idTemplate;
    HWND m_hParent;
    bool m_bModal = false;
    bool m_bLockNotify = false;
};
