#include "ui/AboutLink.h"

#include "framework/App.h"
#include "ui/AboutDlg.h"

namespace {
// Of the application window's title, this much (terminator included) goes into the tooltip.
const int kTitleLimit = 80;
}  // namespace

void CAboutLink::PreSubclassWindow()
{
    AddNotifyStyle();
    LoadHandCursor();
    char title[kTitleLimit] = "";
    if (const HWND main = GetAppMainWindow())
        ::GetWindowTextA(main, title, kTitleLimit);
    CreateToolTip(std::string("About ") + title);
}

bool CAboutLink::OnReflectedMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg != WM_COMMAND || HIWORD(wParam) != STN_CLICKED)
        return false;
    OnClicked();
    result = 0;
    return true;
}

void CAboutLink::OnClicked()
{
    // The box about to open takes the mouse.
    EndHover();
    // Modal over the dialog that shows the icon: nothing of it can be used underneath.
    CAboutDlg about(::GetParent(m_hWnd));
    about.DoModal();
}
