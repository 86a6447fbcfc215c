#include "ui/AboutDlg.h"

#include "res/resource.h"

const char kAuthorEmail[] = "dorvan@example.com";
const char kHomePage[] = "https://www.example.com/pixlet32/";

CAboutDlg::CAboutDlg(HWND parent) : CDialog(IDD_ABOUT, parent) {}

CAboutDlg::~CAboutDlg() = default;

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The address is the label's text; its target is a message to it.
    m_linkEmail.SubclassDlgItem(IDC_EMAIL, m_hWnd);
    m_linkEmail.SetUrl(std::string("mailto:") + kAuthorEmail);
    m_linkHomePage.SubclassDlgItem(IDC_HOMEPAGE, m_hWnd);
    m_linkHomePage.SetUrl(kHomePage);
    return TRUE;
}
