// The About box: product name and version, edition, author, and two links, the author's e-mail
// and the home page. Opened from the tray menu and from the program's icon in the Option dialog.
#pragma once

#include "framework/Dialog.h"
#include "ui/LinkLabel.h"

// The author's addresses.
extern const char kAuthorEmail[];
extern const char kHomePage[];

class CAboutDlg : public CDialog
{
public:
    // Modal over the parent (null: the application's window).
    explicit CAboutDlg(HWND parent = nullptr);
    ~CAboutDlg() override;

protected:
    BOOL OnInitDialog() override;

private:
    CLinkLabel m_linkEmail;
    CLinkLabel m_linkHomePage;
};
