#include "framework/FileDialog.h"

#include "framework/App.h"
#include "framework/Unicode.h"

#include <cstring>

std::string FileDialogFilter(const char* filter)
{
    std::string result = filter ? filter : "";
    for (char& c : result)
        if (c == '|')
            c = '\0';
    // However the text ended, the list ends with two zeros.
    result.push_back('\0');
    result.push_back('\0');
    return result;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* defExt, const char* fileName, DWORD flags,
                         const char* filter, HWND parent)
    : CDialog(0, parent),
      m_bOpenFileDialog(bOpenFileDialog),
      m_dwFlags(flags),
      m_strDefExt(defExt ? defExt : ""),
      m_strFilter(filter ? FileDialogFilter(filter) : std::string())
{
    if (fileName)
        ::lstrcpynW(m_szFile, Widen(fileName).c_str(), MAX_PATH);
}

std::string CFileDialog::GetPathName() const
{
    return Utf8(m_szFile);
}

INT_PTR CFileDialog::DoModal()
{
    // Kept alive while the dialog runs: it reads them through pointers.
    const std::wstring filter = Widen(m_strFilter), initialDir = Widen(m_strInitialDir);
    const std::wstring title = Widen(m_strTitle), defExt = Widen(m_strDefExt);
    OPENFILENAMEW ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetParentWindow() ? GetParentWindow() : GetAppMainWindow();
    ofn.hInstance = GetAppInstance();
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = m_szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // With a hook an Explorer-style dialog can be resized only when it asks for it; and no
    // dialog of the program moves its working folder.
    ofn.Flags = m_dwFlags | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
    ofn.lCustData = reinterpret_cast<LPARAM>(this);
    ofn.lpfnHook = FileDialogHookProc;
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    return chosen ? IDOK : IDCANCEL;
}

bool CFileDialog::OnNotify(NMHDR* header, LRESULT& result)
{
    result = 0;
    switch (header->code) {
    case CDN_INITDONE:
        OnInitDone();
        return true;
    case CDN_FOLDERCHANGE:
        OnFolderChange();
        return true;
    case CDN_FILEOK:
        result = OnFileNameOK() ? 1 : 0;
        return true;
    default:
        return CDialog::OnNotify(header, result);
    }
}
