// The dialog layer: dispatch, data exchange with its check, notification lockout, reflection
// to subclassed controls, and the program's message boxes.
#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/MessageBox.h"
#include "framework/MessageFormat.h"
#include "res/resource.h"
#include "support/MessageBoxWatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using testing_support::CMessageBoxWatcher;

namespace {
// The Option dialog's template with the data exchange of a few of its fields.
class CTestDialog : public CDialog
{
public:
    CTestDialog() : CDialog(IDD_OPTION) {}

    BOOL m_bSaveToFile = FALSE;
    std::string m_strPrefix;
    int m_nSaveMode = -1;
    int m_nPrefixChanges = 0;
    std::vector<UINT> m_commands;
    bool m_bEndAtInit = false;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_bEndAtInit)
            ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Check(pDX, IDC_SAVE_TO_FILE, m_bSaveToFile);
        DDX_Text(pDX, IDC_PREFIX, m_strPrefix);
        DDV_MaxChars(pDX, m_strPrefix, 6);
        DDX_Radio(pDX, IDC_OVERWRITE, m_nSaveMode);
    }
    bool OnCommand(UINT id, UINT code, HWND control) override
    {
        if (id == IDC_PREFIX && code == EN_CHANGE)
            ++m_nPrefixChanges;
        m_commands.push_back(id);
        return CDialog::OnCommand(id, code, control);
    }
};

// Takes the clicks of the check box it is attached to.
class CClickTaker : public CWnd
{
public:
    int m_nClicks = 0;
    int m_nSetTexts = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_SETTEXT)
            ++m_nSetTexts;
        return CWnd::WindowProc(msg, wParam, lParam);
    }
    bool OnReflectedMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override
    {
        if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            ++m_nClicks;
            result = 0;
            return true;
        }
        return false;
    }
};

std::string ItemText(HWND dialog, int id)
{
    char text[256] = "";
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
}  // namespace

TEST(Dialog, FillsListsFromTheTemplateAndExchangesFieldsBothWays)
{
    CTestDialog dialog;
    dialog.m_bSaveToFile = TRUE;
    dialog.m_strPrefix = "cap";
    dialog.m_nSaveMode = 1;
    ASSERT_TRUE(dialog.Create());
    const HWND hwnd = dialog.m_hWnd;

    const HWND types = ::GetDlgItem(hwnd, IDC_FILE_TYPE);
    ASSERT_EQ(::SendMessageA(types, CB_GETCOUNT, 0, 0), 2);
    char item[16] = "";
    ::SendMessageA(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, ".png");
    ::SendMessageA(types, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, ".bmp");

    // Fields into the controls at initialisation, without a change notification.
    EXPECT_EQ(::IsDlgButtonChecked(hwnd, IDC_SAVE_TO_FILE), BST_CHECKED);
    EXPECT_EQ(ItemText(hwnd, IDC_PREFIX), "cap");
    EXPECT_EQ(::IsDlgButtonChecked(hwnd, IDC_OVERWRITE), BST_UNCHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(hwnd, IDC_AUTO_NUMBER), BST_CHECKED);
    EXPECT_EQ(::SendDlgItemMessageA(hwnd, IDC_PREFIX, EM_GETLIMITTEXT, 0, 0), 6);
    EXPECT_EQ(dialog.m_nPrefixChanges, 0);

    // A change the user makes is a notification; the controls back into the fields.
    ::SetDlgItemTextA(hwnd, IDC_PREFIX, "shot");
    EXPECT_EQ(dialog.m_nPrefixChanges, 1);
    ::CheckDlgButton(hwnd, IDC_SAVE_TO_FILE, BST_UNCHECKED);
    ::CheckRadioButton(hwnd, IDC_OVERWRITE, IDC_AUTO_NUMBER, IDC_OVERWRITE);
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_bSaveToFile, FALSE);
    EXPECT_EQ(dialog.m_strPrefix, "shot");
    EXPECT_EQ(dialog.m_nSaveMode, 0);

    // No radio button checked reads as -1, and -1 unchecks both.
    ::CheckDlgButton(hwnd, IDC_OVERWRITE, BST_UNCHECKED);
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_nSaveMode, -1);
    dialog.m_nSaveMode = 1;
    dialog.m_strPrefix = "again";
    EXPECT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(::IsDlgButtonChecked(hwnd, IDC_AUTO_NUMBER), BST_CHECKED);
    EXPECT_EQ(dialog.m_nPrefixChanges, 1) << "UpdateData(FALSE) must not dispatch the edit's EN_CHANGE";
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, ATooLongTextIsRefusedWithTheFrameworkMessage)
{
    CTestDialog dialog;
    ASSERT_TRUE(dialog.Create());
    // WM_SETTEXT is not bound by the edit's limit: as if the text had come from elsewhere.
    ::SetDlgItemTextA(dialog.m_hWnd, IDC_PREFIX, "seventh");
    CMessageBoxWatcher watcher;
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, "Please enter no more than 6 characters.");
    EXPECT_EQ(watcher.m_caption, GetAppName());
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
    // The exchange stopped at the failing field: the radio group was not read.
    EXPECT_EQ(dialog.m_nSaveMode, -1);
    EXPECT_EQ(::GetFocus(), dialog.GetDlgItem(IDC_PREFIX));
}

TEST(Dialog, ModalRunEndsWithTheButtonsResult)
{
    CTestDialog ok;
    ok.m_bEndAtInit = true;
    ok.m_strPrefix = "abc";
    EXPECT_EQ(ok.DoModal(), IDOK);
    EXPECT_EQ(ok.m_hWnd, nullptr);

    // Validation keeps the dialog open; Cancel ends it without validation.
    class CRefusing : public CTestDialog
    {
    protected:
        BOOL OnInitDialog() override
        {
            CTestDialog::OnInitDialog();
            ::SetDlgItemTextA(m_hWnd, IDC_PREFIX, "too long");
            ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
            ::PostMessageA(m_hWnd, WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        }
    } refusing;
    CMessageBoxWatcher watcher;
    EXPECT_EQ(refusing.DoModal(), IDCANCEL);
    EXPECT_TRUE(watcher.Wait());
    EXPECT_EQ(std::count(refusing.m_commands.begin(), refusing.m_commands.end(), UINT(IDOK)), 1);
}

TEST(Dialog, NotificationsGoFirstToTheSubclassedControl)
{
    CTestDialog dialog;
    ASSERT_TRUE(dialog.Create());
    CClickTaker taker;
    ASSERT_TRUE(taker.SubclassDlgItem(IDC_SAVE_TO_FILE, dialog.m_hWnd));
    EXPECT_EQ(CWnd::FromSubclassed(dialog.GetDlgItem(IDC_SAVE_TO_FILE)), &taker);
    EXPECT_FALSE(taker.SubclassDlgItem(IDC_SAVE_TO_FILE, dialog.m_hWnd)) << "attached twice";

    ::SendDlgItemMessageA(dialog.m_hWnd, IDC_SAVE_TO_FILE, BM_CLICK, 0, 0);
    EXPECT_EQ(taker.m_nClicks, 1);
    EXPECT_EQ(::IsDlgButtonChecked(dialog.m_hWnd, IDC_SAVE_TO_FILE), BST_CHECKED) << "the control's own handling ran";
    EXPECT_TRUE(std::find(dialog.m_commands.begin(), dialog.m_commands.end(), UINT(IDC_SAVE_TO_FILE)) ==
                dialog.m_commands.end());
    ::SetDlgItemTextA(dialog.m_hWnd, IDC_SAVE_TO_FILE, "Save");
    EXPECT_EQ(taker.m_nSetTexts, 1);

    // Detached, the parent handles the click again.
    EXPECT_EQ(taker.UnsubclassWindow(), dialog.GetDlgItem(IDC_SAVE_TO_FILE));
    EXPECT_EQ(CWnd::FromSubclassed(dialog.GetDlgItem(IDC_SAVE_TO_FILE)), nullptr);
    ::SendDlgItemMessageA(dialog.m_hWnd, IDC_SAVE_TO_FILE, BM_CLICK, 0, 0);
    EXPECT_EQ(taker.m_nClicks, 1);
    EXPECT_EQ(std::count(dialog.m_commands.begin(), dialog.m_commands.end(), UINT(IDC_SAVE_TO_FILE)), 1);

    // A control destroyed while attached lets go of its object.
    CClickTaker other;
    ASSERT_TRUE(other.SubclassDlgItem(IDC_INCLUDE_CURSOR, dialog.m_hWnd));
    dialog.DestroyWindow();
    EXPECT_EQ(other.m_hWnd, nullptr);
}

TEST(AppMessageBox, AnIconIsAddedOnlyToBoxesThatAskAQuestionWithoutOne)
{
    EXPECT_EQ(AppMessageBoxStyle(MB_OK), UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(AppMessageBoxStyle(MB_OKCANCEL), UINT(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(AppMessageBoxStyle(MB_YESNO), UINT(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(AppMessageBoxStyle(MB_YESNOCANCEL), UINT(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(AppMessageBoxStyle(MB_RETRYCANCEL), UINT(MB_RETRYCANCEL));
    EXPECT_EQ(AppMessageBoxStyle(MB_OK | MB_ICONSTOP), UINT(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(AppMessageBoxStyle(MB_YESNO | MB_ICONQUESTION), UINT(MB_YESNO | MB_ICONQUESTION));
}

TEST(AppMessageBox, ShowsTheApplicationNameAndTheText)
{
    CMessageBoxWatcher watcher(IDCANCEL);
    EXPECT_EQ(AppMessageBox("Disk full while accessing x.bmp.", MB_OKCANCEL), IDCANCEL);
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_caption, GetAppName());
    EXPECT_EQ(watcher.m_text, "Disk full while accessing x.bmp.");

    EXPECT_EQ(FormatMessage1("Access to %1 was denied.", "C:\\a.bmp"), "Access to C:\\a.bmp was denied.");
    EXPECT_EQ(FormatMessage1("%1 %1%", "x"), "x x%");
}
