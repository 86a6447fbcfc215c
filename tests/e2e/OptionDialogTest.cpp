// The Option dialog as a user works it, in the real program: what OK refuses and why, what it
// stores and when (not on Cancel), the hot-key letters at once and after a restart, rectangles
// chosen on the frozen screen, folders chosen or made in the folder chooser, and captures and
// recordings made with the settings chosen there.
#include "support/Clipboard.h"
#include "support/Desktop.h"
#include "support/Dialogs.h"
#include "support/Files.h"
#include "support/PixletTest.h"
#include "support/Screen.h"
#include "support/Video.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {
const UINT kCtrlShift = MOD_CONTROL | MOD_SHIFT;
const int kPathBox = 102;          // the folder chooser's "Current Folder:"
const UINT kUpOneFolder = 0xA001;  // the file dialog's toolbar button
const char kManually[] = "Hot key to copy AVI manually is duplicated with others.  Please correct it.";
const char kAutomatically[] = "Hot key to copy AVI automatically is duplicated with others.  Please correct it.";

RECT Screen()
{
    return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD ProfileLetter(const char* name)
{
    DWORD value = 0, size = sizeof value;
    ::RegGetValueA(HKEY_CURRENT_USER, kHotKeyKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

// Some pixel of the area differs from the colour.
bool Marked(const CPixels& pixels, const RECT& area, COLORREF colour)
{
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (pixels.At(x, y) != colour)
                return true;
    return false;
}

class OptionDialog : public CPixletTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CPixletTest::SetUp());
        DeleteCompanyKey();
    }
    void TearDown() override
    {
        DeleteCompanyKey();
        CPixletTest::TearDown();
    }

    ::testing::AssertionResult Start(CPixlet& app)
    {
        m_app = &app;
        const ::testing::AssertionResult started = StartAndWaitForIcon(app);
        m_pacer.Accepted();
        return started;
    }
    DWORD Pid() const { return m_app->Pid(); }

    // The tray menu's "Option".
    HWND Open()
    {
        ::PostMessageA(m_app->MainWindow(), WM_COMMAND, ID_OPTION, 0);
        return WaitForDialog(Pid(), "Option");
    }
    // OK pressed: "" when the dialog closed, else the text of the message that refused it.
    std::string PressOK(HWND dialog)
    {
        Press(dialog, IDOK);
        WaitUntil([&] { return !::IsWindowVisible(dialog) || FindMessageBox(Pid()); }, 5000);
        if (::IsWindowVisible(dialog))
            return AnswerMessageBox(Pid()).text;
        // Gone, and the main window answers: what it does after the dialog (the profile, the
        // hot keys) is done.
        WaitUntil([&] { return !::IsWindow(dialog); }, 5000);
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(m_app->MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
        return "";
    }
    // A check box or radio button pressed, and its new state shown.
    void Toggle(HWND dialog, int id)
    {
        const bool before = IsChecked(dialog, id);
        Press(dialog, id);
        EXPECT_TRUE(WaitUntil([&] { return IsChecked(dialog, id) != before; }, 2000)) << id;
    }
    void ChooseLetters(HWND dialog, char begin, char end, char autoBegin)
    {
        ChooseItem(dialog, IDC_AVI_BEGIN, begin - 'A');
        ChooseItem(dialog, IDC_AVI_END, end - 'A');
        ChooseItem(dialog, IDC_AVI_AUTO_BEGIN, autoBegin - 'A');
    }
    std::string Letters(HWND dialog)
    {
        std::string letters;
        for (int id : {IDC_AVI_BEGIN, IDC_AVI_END, IDC_AVI_AUTO_BEGIN})
            letters += static_cast<char>('A' + ChosenItem(dialog, id));
        return letters;
    }
    void Close(HWND dialog, int button = IDCANCEL)
    {
        Press(dialog, button);
        EXPECT_TRUE(WaitUntilClosed(dialog));
    }

    // The full-screen selector of the program, once shown and painted.
    HWND WaitForSelector()
    {
        HWND selector = nullptr;
        const RECT screen = Screen();
        WaitUntil(
            [&] {
                for (HWND hwnd : TopLevelWindows(Pid(), "#32770")) {
                    RECT rect = {};
                    ::GetWindowRect(hwnd, &rect);
                    if (::IsWindowVisible(hwnd) && ::EqualRect(&rect, &screen))
                        selector = hwnd;
                }
                return selector != nullptr;
            },
            5000);
        ::Sleep(200);
        return selector;
    }
    // "Browse" of a rectangle pressed: the selector, with the dialog hidden meanwhile.
    HWND Browse(HWND dialog, int id)
    {
        Press(dialog, id);
        const HWND selector = WaitForSelector();
        EXPECT_FALSE(::IsWindowVisible(dialog)) << "the dialog stays on the frozen screen";
        return selector;
    }
    // The selector ended: the dialog is back; the text of the rectangle's label.
    std::string ChosenRect(HWND dialog, HWND selector, int label)
    {
        EXPECT_TRUE(WaitUntilClosed(selector));
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, 5000)) << "the dialog stays hidden";
        return TextOf(dialog, label);
    }

    // A Save As dialog of the program given a name: a question about it (a new or existing
    // file) is answered Yes.
    void SaveAs(const std::string& name)
    {
        const HWND saveAs = WaitForDialog(Pid(), "Browse Record File");
        ASSERT_TRUE(saveAs) << "no Save As dialog";
        ::SendMessageA(::GetDlgItem(saveAs, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        Press(saveAs, IDOK);
        WaitUntil([&] { return !::IsWindow(saveAs) || FindMessageBox(Pid(), "Browse Record File"); }, 5000);
        if (FindMessageBox(Pid(), "Browse Record File"))
            AnswerMessageBox(Pid(), IDYES, "Browse Record File");
        ASSERT_TRUE(WaitUntilClosed(saveAs));
    }

    // The folder chooser's OK: the message it gives (answered with `answer`), "" when it closed.
    std::string ChooserOK(HWND chooser, int answer = IDOK)
    {
        Press(chooser, IDOK);
        WaitUntil([&] { return !::IsWindow(chooser) || FindMessageBox(Pid()); }, 5000);
        return ::IsWindow(chooser) ? AnswerMessageBox(Pid(), answer).text : "";
    }

    CPixlet* m_app = nullptr;
    CActionPacer m_pacer;
};
}  // namespace

TEST_F(OptionDialog, RefusesWhatIsMissingStoresOnlyOnOkAndTheLettersSurviveARestart)
{
    {
        CPixlet app;
        ASSERT_TRUE(Start(app));
        HWND dialog = Open();
        ASSERT_TRUE(dialog) << "the tray menu's Option opened nothing";
        // The first opening shows the settings' defaults.
        EXPECT_EQ(TextOf(dialog, IDC_CAPTURE_RECT), "(0, 0) - (0, 0)");
        EXPECT_EQ(TextOf(dialog, IDC_AVI_RECT), "(0, 0) - (0, 0)");
        EXPECT_EQ(Letters(dialog), "BEC");
        EXPECT_EQ(TextOf(dialog, IDC_AVI_RATE) + TextOf(dialog, IDC_END_AFTER) + TextOf(dialog, IDC_BASE_NUMBER) +
                      TextOf(dialog, IDC_DIGITS) + TextOf(dialog, IDC_FILE_TYPE),
                  "10313.png");
        EXPECT_FALSE(IsChecked(dialog, IDC_SAVE_TO_FILE));
        EXPECT_TRUE(IsChecked(dialog, IDC_OVERWRITE));
        EXPECT_FALSE(IsChecked(dialog, IDC_INCLUDE_CURSOR));
        ::Sleep(300);
        SaveScreenshotIfAsked("option-dialog");

        // Two equal letters: which message depends on which two.
        ChooseLetters(dialog, 'B', 'B', 'C');
        EXPECT_EQ(PressOK(dialog), kManually);
        ChooseLetters(dialog, 'C', 'E', 'C');
        EXPECT_EQ(PressOK(dialog), kManually);
        ChooseLetters(dialog, 'B', 'C', 'C');
        EXPECT_EQ(PressOK(dialog), kAutomatically);
        ChooseLetters(dialog, 'B', 'E', 'C');

        // Saving into files needs a file, or a prefix and a directory.
        Toggle(dialog, IDC_SAVE_TO_FILE);
        EXPECT_EQ(PressOK(dialog), "Please specify the target file.");
        Toggle(dialog, IDC_AUTO_NUMBER);
        EXPECT_EQ(PressOK(dialog), "Please specify the prefix of files.");
        TypeText(dialog, IDC_PREFIX, "shot123456");
        EXPECT_EQ(TextOf(dialog, IDC_PREFIX), "shot12") << "the prefix holds six characters";
        EXPECT_EQ(PressOK(dialog), "Please specify the directory to save files.");

        // Cancel stores nothing.
        ChooseLetters(dialog, 'X', 'Y', 'Z');
        TypeText(dialog, IDC_AVI_RATE, "5");
        Close(dialog);
        ASSERT_TRUE(dialog = Open());
        EXPECT_FALSE(IsChecked(dialog, IDC_SAVE_TO_FILE));
        EXPECT_EQ(TextOf(dialog, IDC_PREFIX), "");
        EXPECT_EQ(TextOf(dialog, IDC_AVI_RATE), "10");
        EXPECT_EQ(Letters(dialog), "BEC");
        EXPECT_FALSE(IsHotKeyFree(kCtrlShift, 'B'));

        // Typing a prefix ticks "Save result into file" and leaves the radio buttons; deleting
        // it leaves the box ticked.
        TypeChar(dialog, IDC_PREFIX, 'p');
        TypeChar(dialog, IDC_PREFIX, 'q');
        EXPECT_EQ(TextOf(dialog, IDC_PREFIX), "pq");
        EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_TO_FILE));
        EXPECT_TRUE(IsChecked(dialog, IDC_OVERWRITE));
        EXPECT_FALSE(IsChecked(dialog, IDC_AUTO_NUMBER));
        TypeText(dialog, IDC_PREFIX, "");
        EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_TO_FILE));
        Toggle(dialog, IDC_SAVE_TO_FILE);

        // OK stores it all; new letters take effect at once.
        ChooseLetters(dialog, 'D', 'F', 'G');
        TypeText(dialog, IDC_AVI_RATE, "7");
        ASSERT_EQ(PressOK(dialog), "");
        for (UINT letter : {'D', 'F', 'G'})
            EXPECT_FALSE(IsHotKeyFree(kCtrlShift, letter)) << static_cast<char>(letter);
        for (UINT letter : {'B', 'E', 'C'})
            EXPECT_TRUE(IsHotKeyFree(kCtrlShift, letter)) << static_cast<char>(letter);
        EXPECT_EQ(ProfileLetter("AVIB"), 68u);
        EXPECT_EQ(ProfileLetter("AVIE"), 70u);
        EXPECT_EQ(ProfileLetter("AVIAB"), 71u);

        // A rate out of its range keeps the last valid one.
        ASSERT_TRUE(dialog = Open());
        EXPECT_EQ(TextOf(dialog, IDC_AVI_RATE), "7");
        TypeText(dialog, IDC_AVI_RATE, "25");
        ASSERT_EQ(PressOK(dialog), "");
        ASSERT_TRUE(dialog = Open());
        EXPECT_EQ(TextOf(dialog, IDC_AVI_RATE), "7");
        EXPECT_EQ(Letters(dialog), "DFG");
        Close(dialog);
        ASSERT_TRUE(app.Exit());
    }
    // After a restart only the letters are kept.
    CPixlet again;
    ASSERT_TRUE(Start(again));
    EXPECT_FALSE(IsHotKeyFree(kCtrlShift, 'D'));
    EXPECT_TRUE(IsHotKeyFree(kCtrlShift, 'B'));
    const HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Letters(dialog), "DFG");
    EXPECT_EQ(TextOf(dialog, IDC_AVI_RATE), "10");
    Close(dialog);
}

TEST_F(OptionDialog, RectanglesAreChosenOnTheFrozenScreenAndKeptOnIt)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    CPaintedWindow pattern(Screen(), CPaintedWindow::Pattern);
    CPaintedWindow partly(RECT{-40, -30, 300, 200}, CPaintedWindow::Solid, RGB(0, 160, 0));
    const RECT targetRect = {700, 100, 900, 250};
    CPaintedWindow target(targetRect, CPaintedWindow::Solid, RGB(0, 0, 200));
    const HWND dialog = Open();
    ASSERT_TRUE(dialog);

    // The selector shows the screen as it was; hot keys do nothing meanwhile.
    HWND selector = Browse(dialog, IDC_BROWSE_CAPTURE_RECT);
    ASSERT_TRUE(selector);
    target.SetColour(RGB(200, 0, 0));
    ::Sleep(300);
    EXPECT_EQ(ScreenPixels(RECT{710, 110, 890, 240}).At(90, 60), RGB(0, 0, 200)) << "the screen is not frozen";
    PutOnClipboard("kept");
    m_pacer.WaitForNextAction();
    PressKeys({VK_SNAPSHOT});
    ::Sleep(1500);
    EXPECT_EQ(ClipboardText(), "kept") << "PrintScreen acted while a rectangle was chosen";
    // A click on a window partly off the screen: its rectangle, kept on the screen.
    MoveMouseInSteps(POINT{100, 100}, POINT{120, 110}, 3);
    DragMouse(POINT{120, 110}, POINT{120, 110}, 1);
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_CAPTURE_RECT), "(0, 0) - (300, 200)");
    // Dragged towards the upper left: kept reversed.
    ASSERT_TRUE(selector = Browse(dialog, IDC_BROWSE_CAPTURE_RECT));
    DragMouse(POINT{900, 700}, POINT{700, 500});
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_CAPTURE_RECT), "(900, 700) - (700, 500)");

    // The AVI rectangle: a right click leaves it; with Ctrl at the press, the window under it.
    ASSERT_TRUE(selector = Browse(dialog, IDC_BROWSE_AVI_RECT));
    MoveMouseTo(POINT{500, 300});
    RightButton(true);
    RightButton(false);
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_AVI_RECT), "(0, 0) - (0, 0)");
    ASSERT_TRUE(selector = Browse(dialog, IDC_BROWSE_AVI_RECT));
    MoveMouseTo(POINT{800, 175});
    ASSERT_TRUE(HoldCtrl(true));
    LeftButton(true);
    ASSERT_TRUE(HoldCtrl(false));
    LeftButton(false);
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_AVI_RECT), "(700, 100) - (900, 250)");

    // While an action runs (the selector of Ctrl+PrintScreen), "Browse" does nothing.
    m_pacer.WaitForNextAction();
    PressKeys({VK_CONTROL, VK_SNAPSHOT});
    ASSERT_TRUE(selector = WaitForSelector());
    Press(dialog, IDC_BROWSE_CAPTURE_RECT);
    ::Sleep(500);
    EXPECT_TRUE(::IsWindowVisible(dialog)) << "Browse ran during an action";
    MoveMouseTo(POINT{500, 300});
    RightButton(true);
    RightButton(false);
    EXPECT_TRUE(WaitUntilClosed(selector));

    // After OK, PrintScreen takes the chosen rectangle.
    ASSERT_EQ(PressOK(dialog), "");
    m_pacer.WaitForNextAction();
    PressKeys({VK_SNAPSHOT});
    ASSERT_TRUE(WaitUntil([] { return ::IsClipboardFormatAvailable(CF_BITMAP) != FALSE; }, 5000));
    const CPixels picture = ClipboardBitmap();
    EXPECT_EQ(picture.width, 200);
    EXPECT_EQ(picture.height, 200);
    EXPECT_EQ(CompareWithPattern(picture, 700, 500).count, 0);
}

TEST_F(OptionDialog, NumberedFilesGoIntoAFolderChosenOrMadeInTheChooser)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    const std::string made = CScratch::Windows("made\\day1"), never = CScratch::Windows("never");
    const HWND dialog = Open();
    ASSERT_TRUE(dialog);

    // Without a directory the chooser opens at C:\.
    Press(dialog, IDC_BROWSE_DIRECTORY);
    HWND chooser = WaitForDialog(Pid(), "Select folder");
    ASSERT_TRUE(chooser) << "no folder chooser";
    EXPECT_EQ(TextOf(chooser, kPathBox), "C:\\");
    ::Sleep(300);
    SaveScreenshotIfAsked("folder-chooser");
    // Up from C:\ is My Computer, which is no folder on disk: the path box is empty.
    ::PostMessageA(chooser, WM_COMMAND, kUpOneFolder, 0);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(chooser, kPathBox).empty(); }, 3000)) << TextOf(chooser, kPathBox);
    EXPECT_EQ(ChooserOK(chooser), "Invalid Folder");
    TypeText(chooser, kPathBox, "C:\\users\\\\public");
    EXPECT_EQ(ChooserOK(chooser), "Invalid Folder");
    // Two nested folders that do not exist, with a trailing backslash: asked about and made
    // without it.
    TypeText(chooser, kPathBox, made + "\\");
    EXPECT_EQ(ChooserOK(chooser, IDYES), made + "\n\nThis path does not exist. Do you want to create it?");
    ASSERT_TRUE(WaitUntilClosed(chooser));
    EXPECT_TRUE(IsDirectory(made));
    EXPECT_EQ(TextOf(dialog, IDC_DIRECTORY), made + "\\");
    EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_TO_FILE));
    EXPECT_TRUE(IsChecked(dialog, IDC_AUTO_NUMBER));
    EXPECT_FALSE(IsChecked(dialog, IDC_OVERWRITE));
    // No to the question still chooses the folder, without making it.
    Press(dialog, IDC_BROWSE_DIRECTORY);
    ASSERT_TRUE(chooser = WaitForDialog(Pid(), "Select folder"));
    TypeText(chooser, kPathBox, never);
    EXPECT_EQ(ChooserOK(chooser, IDNO), never + "\n\nThis path does not exist. Do you want to create it?");
    ASSERT_TRUE(WaitUntilClosed(chooser));
    EXPECT_EQ(TextOf(dialog, IDC_DIRECTORY), never + "\\");
    EXPECT_FALSE(FileExists(never));

    // A target file chosen with "..." ticks "Overwrite the same file".
    Press(dialog, IDC_BROWSE_TARGET_FILE);
    SaveAs(CScratch::Windows("one.png"));
    EXPECT_EQ(TextOf(dialog, IDC_TARGET_FILE), CScratch::Windows("one.png"));
    EXPECT_TRUE(IsChecked(dialog, IDC_OVERWRITE));
    EXPECT_FALSE(IsChecked(dialog, IDC_AUTO_NUMBER));

    // Numbered BMP files from 5 on in the folder made, without the cursor.
    Press(dialog, IDC_BROWSE_DIRECTORY);
    ASSERT_TRUE(chooser = WaitForDialog(Pid(), "Select folder"));
    TypeText(chooser, kPathBox, made);
    EXPECT_EQ(ChooserOK(chooser), "");
    TypeText(dialog, IDC_PREFIX, "shot");
    TypeText(dialog, IDC_BASE_NUMBER, "5");
    ChooseItem(dialog, IDC_FILE_TYPE, 1);
    ASSERT_EQ(PressOK(dialog), "");
    const RECT screen = Screen();
    const COLORREF colour = RGB(40, 80, 120);
    CPaintedWindow solid(screen, CPaintedWindow::Solid, colour);
    const POINT cursor = {600, 400};
    const RECT nearCursor = {cursor.x, cursor.y, cursor.x + 12, cursor.y + 16};
    MoveMouseTo(cursor);
    const std::string host = "made/day1/";
    for (const char* name : {"shot005.bmp", "shot006.bmp"}) {
        m_pacer.WaitForNextAction();
        PressKeys({VK_SNAPSHOT});
        EXPECT_TRUE(WaitUntil([&] { return FileExists(made + "\\" + name); }, 5000)) << name;
    }
    ::Sleep(500);  // written whole
    const CPixels bmp = DecodeImageFile(CScratch::Host(host + "shot006.bmp"), screen.right, screen.bottom);
    ASSERT_FALSE(bmp.Empty()) << "shot006.bmp is no picture of the screen";
    EXPECT_FALSE(Marked(bmp, nearCursor, colour)) << "a cursor was drawn though not asked for";

    // PNG files with the cursor; OK starts the numbers at the base number again.
    HWND again = Open();
    ASSERT_TRUE(again);
    ChooseItem(again, IDC_FILE_TYPE, 0);
    Toggle(again, IDC_INCLUDE_CURSOR);
    ASSERT_EQ(PressOK(again), "");
    m_pacer.WaitForNextAction();
    PressKeys({VK_SNAPSHOT});
    ASSERT_TRUE(WaitUntil([&] { return FileExists(made + "\\shot005.png"); }, 5000));
    ::Sleep(500);
    const CPixels png = DecodeImageFile(CScratch::Host(host + "shot005.png"), screen.right, screen.bottom);
    ASSERT_FALSE(png.Empty()) << "shot005.png is no picture of the screen";
    EXPECT_TRUE(Marked(png, nearCursor, colour)) << "no cursor where the pointer was";
    EXPECT_EQ(png.At(cursor.x + 100, cursor.y), colour);
}

TEST_F(OptionDialog, RecordingsGoIntoTheAviFileChosenWithBrowse)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    CPaintedWindow pattern(Screen(), CPaintedWindow::Pattern);
    const HWND dialog = Open();
    ASSERT_TRUE(dialog);
    // Numbered PNG files in the scratch folder, and a timed recording of a rectangle into a file
    // named without its extension.
    Press(dialog, IDC_BROWSE_DIRECTORY);
    const HWND chooser = WaitForDialog(Pid(), "Select folder");
    ASSERT_TRUE(chooser);
    TypeText(chooser, kPathBox, CScratch::WindowsDir());
    ASSERT_EQ(ChooserOK(chooser), "");
    TypeText(dialog, IDC_PREFIX, "shot");
    Press(dialog, IDC_BROWSE_AVI_FILE);
    SaveAs(CScratch::Windows("clip"));
    EXPECT_EQ(TextOf(dialog, IDC_AVI_FILE), CScratch::Windows("clip.avi")) << "the default extension";
    const HWND selector = Browse(dialog, IDC_BROWSE_AVI_RECT);
    ASSERT_TRUE(selector);
    DragMouse(POINT{100, 120}, POINT{260, 240});
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_AVI_RECT), "(100, 120) - (260, 240)");
    TypeText(dialog, IDC_AVI_RATE, "5");
    TypeText(dialog, IDC_END_AFTER, "2");
    ::Sleep(300);
    SaveScreenshotIfAsked("option-dialog-filled");
    ASSERT_EQ(PressOK(dialog), "");

    // The automatic begin letter records "End after" seconds of frames, then ends by itself.
    const std::string clip = CScratch::Host("clip.avi");
    m_pacer.WaitForNextAction();
    PressKeys({VK_CONTROL, VK_SHIFT, 'C'});
    ::Sleep(3500);  // ten frames a fifth of a second apart, the first a fifth after the key
    const CVideoInfo timed = ProbeVideo(clip);
    EXPECT_EQ(timed.packets, 10);
    EXPECT_EQ(timed.frameRate, "5/1");
    EXPECT_EQ(timed.width, 160);
    EXPECT_EQ(timed.height, 120);
    const std::vector<CPixels> frames = DecodeFrames(clip, 160, 120);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(CompareWithPattern(frames.back(), 100, 120).count, 0);

    // The manual begin letter records until the end letter.
    m_pacer.WaitForNextAction();
    PressKeys({VK_CONTROL, VK_SHIFT, 'B'});
    m_pacer.WaitForNextAction();
    PressKeys({VK_CONTROL, VK_SHIFT, 'E'});
    ::Sleep(1000);
    const CVideoInfo manual = ProbeVideo(clip);
    EXPECT_GE(manual.packets, 8);
    EXPECT_LE(manual.packets, 20);
    EXPECT_EQ(manual.width, 160);
}
