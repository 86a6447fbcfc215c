// The window layer under stress: typed hooks with points on other monitors, handlers that throw,
// the end of a modeless dialog, the mouse-capture guard, a common file dialog's hook bound to an
// object, and the handle owners.
#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/FileDialog.h"
#include "framework/Handles.h"
#include "framework/MessageBox.h"
#include "framework/Unicode.h"
#include "res/resource.h"
#include "support/MessageBoxWatcher.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <dlgs.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {
// A dialog that writes down what its hooks were told (the selector's template: a bare popup).
class CHookRecorder : public CDialog
{
public:
    CHookRecorder() : CDialog(IDD_RECT_SELECT) {}

    std::vector<std::string> m_calls;
    POINT m_lastPoint = {};
    UINT_PTR m_lastTimer = 0;
    HWND m_lastCapture = reinterpret_cast<HWND>(1);
    bool m_bPostNcDestroy = false;
    bool m_bThrowOnRightPress = false;
    bool m_bAskWhenGone = false;
    int m_nAnswer = 0;

protected:
    void OnMouseMove(UINT, POINT point) override { Note("move", point); }
    void OnLButtonDown(UINT flags, POINT point) override { Note(flags & MK_CONTROL ? "ldown+ctrl" : "ldown", point); }
    void OnLButtonUp(UINT, POINT point) override { Note("lup", point); }
    void OnRButtonDown(UINT, POINT point) override
    {
        Note("rdown", point);
        if (m_bThrowOnRightPress)
            throw std::runtime_error("a handler that fails");
    }
    void OnRButtonUp(UINT, POINT point) override { Note("rup", point); }
    void OnTimer(UINT_PTR id) override
    {
        m_calls.push_back("timer");
        m_lastTimer = id;
    }
    void OnCaptureChanged(HWND newCapture) override
    {
        m_calls.push_back("capture");
        m_lastCapture = newCapture;
    }
    void PostNcDestroy() override
    {
        m_bPostNcDestroy = true;
        if (m_bAskWhenGone)
            m_nAnswer = AppMessageBox("gone", MB_OKCANCEL);
    }

private:
    void Note(const char* what, POINT point)
    {
        m_calls.push_back(what);
        m_lastPoint = point;
    }
};

// A static control whose procedure throws for WM_SETTEXT.
class CThrowingStatic : public CWnd
{
protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_SETTEXT)
            throw std::runtime_error("a control that fails");
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

// The hook of an Explorer-style Open dialog: bound to this object, it closes the dialog at once.
class CFileDialogHook : public CDialog
{
public:
    CFileDialogHook() : CDialog(0) {}
    using CDialog::FileDialogHookProc;

    HWND m_hBoundWindow = nullptr;
    HWND m_hFileDialog = nullptr;

protected:
    BOOL OnInitDialog() override
    {
        m_hBoundWindow = m_hWnd;
        m_hFileDialog = ::GetParent(m_hWnd);
        ::PostMessageA(m_hFileDialog, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
};

// Whether this thread can take the mutex now (then it gives it back).
DWORD WINAPI TryTakeMutex(void* mutex)
{
    const DWORD result = ::WaitForSingleObject(static_cast<HANDLE>(mutex), 0);
    if (result == WAIT_OBJECT_0)
        ::ReleaseMutex(static_cast<HANDLE>(mutex));
    return result;
}
}  // namespace

TEST(WindowHooks, MousePointsAreSignedSoOtherMonitorsStayNegative)
{
    const POINT left = PointFromLParam(MAKELPARAM(-5, 20));
    EXPECT_EQ(left.x, -5);
    EXPECT_EQ(left.y, 20);
    const POINT above = PointFromLParam(MAKELPARAM(1919, -1080));
    EXPECT_EQ(above.x, 1919);
    EXPECT_EQ(above.y, -1080);
}

TEST(WindowHooks, MessagesReachTheirTypedHooksAndAThrowingHandlerIsContained)
{
    CHookRecorder dialog;
    ASSERT_TRUE(dialog.Create());
    const HWND hwnd = dialog.m_hWnd;

    ::SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(-3, 7));
    EXPECT_EQ(dialog.m_calls.back(), "ldown+ctrl");
    EXPECT_EQ(dialog.m_lastPoint.x, -3);
    EXPECT_EQ(dialog.m_lastPoint.y, 7);
    ::SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, -20));
    EXPECT_EQ(dialog.m_calls.back(), "move");
    EXPECT_EQ(dialog.m_lastPoint.y, -20);
    ::SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(1, 2));
    ::SendMessageA(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(3, 4));
    ::SendMessageA(hwnd, WM_TIMER, 7, 0);
    EXPECT_EQ(dialog.m_lastTimer, UINT_PTR(7));
    ::SendMessageA(hwnd, WM_CAPTURECHANGED, 0, 0);
    EXPECT_EQ(dialog.m_lastCapture, nullptr);
    EXPECT_EQ(dialog.m_calls, (std::vector<std::string>{"ldown+ctrl", "move", "lup", "rup", "timer", "capture"}));

    // The exception stops at the dialog procedure; the dialog goes on working.
    dialog.m_bThrowOnRightPress = true;
    ::SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6));
    EXPECT_EQ(dialog.m_calls.back(), "rdown");
    ::SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(8, 9));
    EXPECT_EQ(dialog.m_calls.back(), "lup");

    // A subclassed control that throws gets its message's default processing instead.
    CThrowingStatic label;
    const HWND control = ::CreateWindowExA(0, "STATIC", "old", WS_CHILD, 0, 0, 50, 10, hwnd, nullptr, nullptr, nullptr);
    ASSERT_TRUE(label.SubclassWindow(control));
    EXPECT_TRUE(::SetWindowTextA(control, "new"));
    char text[16] = "";
    ::GetWindowTextA(control, text, sizeof text);
    EXPECT_STREQ(text, "new");

    // Ending a modeless dialog destroys it (EndDialog alone would only hide it).
    dialog.EndDialog(IDCANCEL);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_TRUE(dialog.m_bPostNcDestroy);
}

TEST(WindowHooks, TheMainWindowsLastWordIsHeardBeforeTheLoopEnds)
{
    // A box shown when the main window is gone (a recording's file that could not be closed)
    // waits for its answer; the loop is told to end only after it.
    CWinApp app;
    CHookRecorder main;
    main.m_bAskWhenGone = true;
    ASSERT_TRUE(main.Create());
    app.m_pMainWnd = &main;
    testing_support::CMessageBoxWatcher watcher(IDCANCEL);
    ::DestroyWindow(main.m_hWnd);
    EXPECT_TRUE(watcher.Wait());
    EXPECT_EQ(main.m_nAnswer, IDCANCEL) << "the box ended without its answer";
    MSG quit;
    EXPECT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop was not told to end";
}

TEST(WindowHooks, TheCaptureGuardReleasesOnlyACaptureItStillHolds)
{
    CHookRecorder first, second;
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    {
        CMouseCapture capture;
        capture.Take(first.m_hWnd);
        EXPECT_EQ(::GetCapture(), first.m_hWnd);
        EXPECT_TRUE(capture.IsHeld());
        // Another window takes the mouse: the guard no longer holds it and must leave it alone.
        ::SetCapture(second.m_hWnd);
        EXPECT_FALSE(capture.IsHeld());
        EXPECT_EQ(first.m_lastCapture, second.m_hWnd) << "the loser was told who took it";
    }
    EXPECT_EQ(::GetCapture(), second.m_hWnd);
    ::ReleaseCapture();

    {
        CMouseCapture capture;
        capture.Take(first.m_hWnd);
        first.m_calls.clear();
        capture.Release();
        EXPECT_EQ(::GetCapture(), nullptr);
        EXPECT_EQ(first.m_calls, std::vector<std::string>{"capture"});
        capture.Release();  // a second release (from the capture-changed handler, say) does nothing
    }
    EXPECT_EQ(first.m_calls.size(), 1u);
}

TEST(WindowHooks, AFileDialogsHookIsBoundToTheObjectInItsCustomData)
{
    CFileDialogHook hook;
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK;
    ofn.lpfnHook = CFileDialogHook::FileDialogHookProc;
    ofn.lCustData = reinterpret_cast<LPARAM>(&hook);
    EXPECT_FALSE(::GetOpenFileNameA(&ofn));
    EXPECT_EQ(::CommDlgExtendedError(), 0u) << "the dialog failed instead of being cancelled";
    ASSERT_NE(hook.m_hBoundWindow, nullptr) << "the hook's initialisation never reached the object";
    EXPECT_NE(hook.m_hFileDialog, nullptr);
    EXPECT_EQ(hook.m_hWnd, nullptr) << "the binding outlived the hook's window";
}

namespace {
// A Save As dialog that chooses a file in another folder as soon as it shows.
class CChoosingDialog : public CFileDialog
{
public:
    explicit CChoosingDialog(const char* choice) : CFileDialog(FALSE), m_strChoice(choice) {}
    bool m_bResizable = false;

protected:
    void OnInitDone() override
    {
        m_bResizable = (::GetWindowLongA(GetFrame(), GWL_STYLE) & WS_THICKFRAME) != 0;
        // The dialog is a wide one: its own messages carry wide text.
        const std::wstring choice = Widen(m_strChoice);
        for (int box : {edt1, cmb13})
            ::SendMessageW(GetFrame(), CDM_SETCONTROLTEXT, box, reinterpret_cast<LPARAM>(choice.c_str()));
        ::PostMessageA(GetFrame(), WM_COMMAND, IDOK, 0);
    }

private:
    std::string m_strChoice;
};
}  // namespace

TEST(WindowHooks, TheFileDialogsCanBeResizedAndLeaveTheWorkingFolderWhereItWas)
{
    char before[MAX_PATH] = "", after[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, before);
    CChoosingDialog dialog("C:\\windows\\chosen.png");
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), "C:\\windows\\chosen.png");
    EXPECT_TRUE(dialog.m_bResizable);
    ::GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(after, before) << "choosing a file moved the program's working folder";
}

TEST(HandleOwners, EachClosesItsHandleOnceAndKnowsItsEmptyValue)
{
    CFileHandle noFile;
    EXPECT_FALSE(noFile);
    EXPECT_EQ(noFile.Get(), INVALID_HANDLE_VALUE) << "0 is a valid file handle; CreateFile's failure is -1";

    HANDLE event = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    {
        CKernelHandle owner(event);
        CKernelHandle moved(std::move(owner));
        EXPECT_FALSE(owner);
        EXPECT_EQ(moved.Get(), event);
    }
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(event, &flags)) << "the handle was not closed";

    // A mutex owned by this thread is released before it is closed: another thread can take it.
    HANDLE raw = ::CreateMutexA(nullptr, TRUE, nullptr);
    HANDLE other = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), raw, ::GetCurrentProcess(), &other, 0, FALSE, DUPLICATE_SAME_ACCESS);
    { COwnedMutex mutex(raw); }
    DWORD taken = WAIT_FAILED;
    HANDLE waiter = ::CreateThread(nullptr, 0, TryTakeMutex, other, 0, nullptr);
    ::WaitForSingleObject(waiter, 5000);
    ::GetExitCodeThread(waiter, &taken);
    ::CloseHandle(waiter);
    ::CloseHandle(other);
    EXPECT_EQ(taken, WAIT_OBJECT_0);
}
