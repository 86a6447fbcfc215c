// A folder chooser made of the system's Open dialog: the file-name box gives way to a path box
// "Current Folder:" that follows the browsing and can be typed over, and OK accepts a folder,
// creating it on request when it does not exist yet.
#pragma once

#include "framework/FileDialog.h"

#include <string>

// The folder that OK accepts: the typed path, or where nothing was typed the browsed folder,
// without one trailing backslash. A relative path typed is taken in the browsed folder, as a
// file name typed in an Open dialog is, and made full. False for an empty path and for a path
// with two backslashes in a row anywhere (a network path among them). Paths are UTF-8.
bool AcceptedFolderPath(const std::string& typed, const std::string& browsed, std::string& path);
// Whether the folder, with the backslash that ends it, fits where the settings keep it.
bool FolderFitsSettings(const std::string& folder);

class CSelectFolderDialog : public CFileDialog
{
public:
    CSelectFolderDialog(BOOL bShowFiles, const char* initialFolder, DWORD flags, const char* filter,
                        HWND parent);
    ~CSelectFolderDialog() override;

    INT_PTR DoModal() override;
    // After IDOK: the folder the user accepted, ending in one backslash. A folder created on the
    // spot is this one, even when the browser showed another.
    std::string GetFolder() const { return m_strFolder; }

protected:
    void OnInitDone() override;
    void OnFolderChange() override;
    // A file chosen in the list (a double click): the folder is what is chosen.
    bool OnFileNameOK() override;

private:
    // The dialog's own window, whose OK (button or Enter) the chooser answers itself.
    class CFrame : public CWnd
    {
    public:
        explicit CFrame(CSelectFolderDialog& chooser) : m_chooser(chooser) {}

    protected:
        LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    private:
        CSelectFolderDialog& m_chooser;
    };

    void OnFrameOK();
    void LayOut(HWND frame);
    void FollowFrameWidth();
    std::string BrowsedFolder() const;

    BOOL m_bShowFiles;
    BOOL m_bHasFilter;
    std::string m_strFolder;
    std::string m_strCurrentFolder;
    std::string m_strInitialFolder;
    HWND m_hPathEdit = nullptr;  // a child of the dialog, destroyed with it
    LONG m_nPathEditRightGap = 0;  // from the path box's right edge to the dialog's
    std::string m_strTitle = "Select folder";
    CFrame m_frame;
};
