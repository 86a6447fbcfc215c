// The system's Open and Save As dialogs, in Explorer style, resizable, leaving the program's
// working folder where it was. The filter is written as pairs of description and pattern
// separated by bars ("PNG Files (*.png)|*.png|All Files (*.*)|*.*||"). The dialog's hook is
// bound to this object, so that a derived dialog can react to what the dialog tells it: its
// initialisation, a change of folder, a name about to be accepted.
#pragma once

#include "framework/Dialog.h"

#include <commdlg.h>

#include <string>

// The filter as the system wants it: every bar a zero, ended by two zeros.
std::string FileDialogFilter(const char* filter);

class CFileDialog : public CDialog
{
public:
    // Without a parent the dialog is owned by the application's window.
    CFileDialog(BOOL bOpenFileDialog, const char* defExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                HWND parent = nullptr);

    // IDOK when the user chose a name, IDCANCEL otherwise (also when the dialog failed).
    INT_PTR DoModal() override;
    // The full path chosen, in UTF-8: a name in any script.
    std::string GetPathName() const;

    void SetTitle(const std::string& title) { m_strTitle = title; }
    void SetInitialDir(const std::string& dir) { m_strInitialDir = dir; }

protected:
    // CDN_INITDONE: the dialog is laid out and about to be shown.
    virtual void OnInitDone() {}
    // CDN_FOLDERCHANGE: the dialog shows another folder.
    virtual void OnFolderChange() {}
    // CDN_FILEOK: the dialog is about to end with a name; true keeps it open.
    virtual bool OnFileNameOK() { return false; }
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    // The dialog's own window (the hook's window is a child of it); null before it exists.
    HWND GetFrame() const { return m_hWnd ? ::GetParent(m_hWnd) : nullptr; }

private:
    BOOL m_bOpenFileDialog;
    DWORD m_dwFlags;
    std::string m_strDefExt;
    std::string m_strFilter;
    std::string m_strTitle;
    std::string m_strInitialDir;
    // The dialog is asked in its wide form, so that names outside the ANSI code page come whole.
    wchar_t m_szFile[MAX_PATH] = L"";
};
