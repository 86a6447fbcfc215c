// The frame of every end-to-end test: it begins with no Pixlet32 running (one left by a test
// that timed out or crashed is ended first) and must leave none behind; and the steps that the
// walks through the program take again and again.
#pragma once

#include "support/Clipboard.h"
#include "support/Desktop.h"
#include "support/Dialogs.h"
#include "support/Process.h"
#include "support/Screen.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class CPixletTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the test's program (a local of the test, so that it has ended by TearDown) and
    // counts its start, once its icon is there, as the last accepted action.
    ::testing::AssertionResult Start(CPixlet& app);
    DWORD Pid() const { return m_app->Pid(); }
    // Names the step of a walk that follows, in every failure until the next step.
    void Step(const std::string& name) { m_step.reset(); m_step.emplace(__FILE__, __LINE__, "step: " + name); }

    // The keys pressed together once the program takes the next hot-key action.
    void PressHotKey(const std::vector<WORD>& keys) { m_pacer.WaitForNextAction(); PressKeys(keys); }
    // Ctrl+PrintScreen: the selector once it covers the screen, or null.
    HWND OpenSelector() { PressHotKey({VK_CONTROL, VK_SNAPSHOT}); return WaitForSelector(); }
    // The program's frozen screens shown now: visible dialogs over the whole screen.
    std::vector<HWND> Selectors();
    HWND WaitForSelector()
    {
        std::vector<HWND> shown;
        WaitUntil([&] { return !(shown = Selectors()).empty(); }, 5000);
        // Mouse messages come before a paint: a frame drawn on an unpainted selector would go.
        return !shown.empty() && WaitUntilPainted(shown.back()) ? shown.back() : nullptr;
    }
    // The picture on the clipboard once the window (a selector) has gone; empty when none came.
    CPixels Delivered(HWND window) { return Settled(window) && HasBitmap() ? ClipboardBitmap() : CPixels(); }
    // A click on the frozen screen after a short move onto the point, which frames what is there.
    void ClickFramed(POINT at)
    {
        MoveMouseInSteps(POINT{at.x - 40, at.y - 40}, at, 3);
        DragMouse(at, at, 1);
    }
    // The dialog of a command of the tray menu; null if none shows.
    HWND Open(UINT command, const char* caption)
    {
        ::PostMessageA(m_app->MainWindow(), WM_COMMAND, command, 0);
        return WaitForDialog(Pid(), caption);
    }
    // A button pressed that ends the window or brings a message box (answered with `answer`):
    // the box's text, or "" once the window is gone and the program has done what follows.
    std::string PressFor(HWND window, int id, int answer = IDOK, const char* boxCaption = "Pixlet32")
    {
        Press(window, id);
        WaitUntil([&] { return !::IsWindowVisible(window) || FindMessageBox(Pid(), boxCaption); }, 5000);
        if (FindMessageBox(Pid(), boxCaption))
            return AnswerMessageBox(Pid(), answer, boxCaption).text;
        Settled(window);
        return "";
    }
    // The program has done what it was doing: its interface thread answers.
    bool Idle()
    {
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutA(m_app->MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
    }
    // The window is gone and the program has done what follows.
    bool Settled(HWND window) { return WaitUntil([&] { return !::IsWindow(window); }, 5000) && Idle(); }

    CPixlet* m_app = nullptr;  // the program Start started
    CActionPacer m_pacer;      // when its next hot-key action will be accepted

private:
    std::optional<::testing::ScopedTrace> m_step;
};

// The same with the program's profile removed before and after: each test starts from the
// defaults and leaves none of its letters behind.
class CPixletProfileTest : public CPixletTest
{
protected:
    void SetUp() override;
    void TearDown() override;
};

// The same, for the walks through the Option dialog and what it opens.
class COptionTest : public CPixletProfileTest
{
protected:
    static constexpr int kFolderPathBox = 102;  // the folder chooser's "Current Folder:"
    static constexpr const char* kSaveAs = "Browse Record File";

    HWND OpenOption() { return Open(ID_OPTION, "Option"); }
    void Toggle(HWND dialog, int id)
    {
        const bool before = IsChecked(dialog, id);
        Press(dialog, id);
        EXPECT_TRUE(WaitUntil([&] { return IsChecked(dialog, id) != before; }, 2000)) << id;
    }
    // The three letters chosen (begin, end, automatic begin), and those shown ('@' for none).
    std::string Letters(HWND dialog, const char* choose = nullptr)
    {
        std::string shown;
        for (int i = 0; i < 3; ++i) {
            if (choose)
                ChooseItem(dialog, IDC_AVI_BEGIN + i, choose[i] - 'A');
            shown += static_cast<char>('A' + ChosenItem(dialog, IDC_AVI_BEGIN + i));
        }
        return shown;
    }
    // "Browse" of a rectangle: the selector; the dialog is hidden meanwhile.
    HWND Browse(HWND dialog, int id)
    {
        Press(dialog, id);
        const HWND selector = WaitForSelector();
        EXPECT_FALSE(::IsWindowVisible(dialog)) << "the dialog stays on the frozen screen";
        return selector;
    }
    // The selector ended, the dialog is back: the rectangle's label.
    std::string ChosenRect(HWND dialog, HWND selector, int label)
    {
        EXPECT_TRUE(WaitUntilClosed(selector));
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, 5000)) << "the dialog stays hidden";
        // Shown again before the choice's action has ended: a hot key at once would be dropped.
        EXPECT_TRUE(Idle());
        return TextOf(dialog, label);
    }
    // The chooser of "..." given a path and its OK: what it said ("" when it closed).
    std::string ChooseFolder(HWND dialog, const std::string& path, int answer = IDOK)
    {
        Press(dialog, IDC_BROWSE_DIRECTORY);
        const HWND chooser = WaitForDialog(Pid(), "Select folder");
        TypeText(chooser, kFolderPathBox, path);
        const std::string said = PressFor(chooser, IDOK, answer);
        EXPECT_TRUE(Settled(chooser));
        return said;
    }
    // The Save As dialog of a "Browse" or "..." given a name; a question about the file is
    // answered Yes.
    void SaveAs(HWND dialog, int id, const std::string& name);
    // The dialog that a "Browse" or "..." opens (captioned so), closed with its Cancel.
    void CancelBrowse(HWND dialog, int id, const char* caption);
    // The recording into the file (a Windows path), started by the keys, has begun and ended
    // (by itself, or with the keys to end it).
    ::testing::AssertionResult Records(const std::string& file, const std::vector<WORD>& begin,
                                       const std::vector<WORD>& end = {});
};

// Starts Pixlet32 (this build's, or the copy at exePath) and waits for its main window and its
// tray icon. Used as ASSERT_TRUE(StartAndWaitForIcon(app)): a program that did not start ends
// the test there.
::testing::AssertionResult StartAndWaitForIcon(CPixlet& app, const std::string& exePath = PixletPath());

}  // namespace testing_support
