// Moving values between a dialog's fields and its controls, with the checks the dialogs make.
#pragma once

#include <windows.h>

#include <string>

class CDataExchange
{
public:
    CDataExchange(HWND dialog, BOOL bSaveAndValidate) : m_hDlgWnd(dialog), m_bSaveAndValidate(bSaveAndValidate) {}

    // The control the next check refers to; null (and nothing exchanged) after a failure.
    HWND PrepareCtrl(int id);
    // A check failed: the control gets the focus and the rest of the exchange is skipped.
    void Fail();
    bool Failed() const { return m_bFailed; }
    HWND LastControl() const { return m_hLastControl; }

    HWND m_hDlgWnd;
    BOOL m_bSaveAndValidate;

private:
    HWND m_hLastControl = nullptr;
    bool m_bFailed = false;
};

// A check box: BST_UNCHECKED, BST_CHECKED (or BST_INDETERMINATE for a three-state box).
void DDX_Check(CDataExchange* pDX, int id, BOOL& value);
// A group of radio buttons starting at id: the index of the checked one, -1 when none is.
void DDX_Radio(CDataExchange* pDX, int id, int& value);
// The text of a control; the control is written only when its text differs.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// Limits the last exchanged edit control to maxChars; on saving, refuses a longer text with
// "Please enter no more than %1 characters.".
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars);
