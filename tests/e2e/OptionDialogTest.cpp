// The Option dialog as a user works it in the real program: what OK refuses, what it stores and
// when, the letters at once and after a restart, rectangles chosen on the frozen screen, folders
// chosen or made in the chooser, and the captures and recordings made with those settings.
#include "support/Clipboard.h"
#include "support/Desktop.h"
#include "support/Dialogs.h"
#include "support/Files.h"
#include "support/PixletTest.h"
#include "support/Screen.h"
#include "support/Video.h"

#include "resource.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {
const UINT kCtrlShift = MOD_CONTROL | MOD_SHIFT;
const int kPathBox = 102;          // the folder chooser's "Current Folder:"
const UINT kUpOneFolder = 0xA001;  // the file dialog's toolbar button
const char kSaveAs[] = "Browse Record File";
const char kManually[] = "Hot key to copy AVI manually is duplicated with others.  Please correct it.";
const char kNotThere[] = "\n\nThis path does not exist. Do you want to create it?";

RECT Screen()
{
    return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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

class OptionDialog : public CPixletProfileTest
{
protected:
    DWORD Pid() const { return m_app->Pid(); }
    HWND Open(const char* caption = "Option", UINT command = ID_OPTION)
    {
        ::PostMessageA(m_app->MainWindow(), WM_COMMAND, command, 0);
        return WaitForDialog(Pid(), caption);
    }
    // A button pressed that ends the window or brings a message box (answered with `answer`):
    // the box's text, or "" once the window is gone and the main window has done what follows.
    std::string PressFor(HWND window, int id, int answer = IDOK, const char* boxCaption = "Pixlet32")
    {
        Press(window, id);
        WaitUntil([&] { return !::IsWindowVisible(window) || FindMessageBox(Pid(), boxCaption); }, 5000);
        if (FindMessageBox(Pid(), boxCaption))
            return AnswerMessageBox(Pid(), answer, boxCaption).text;
        Settled(window);
        return "";
    }
    // The window is gone and the program has done what follows (its interface thread answers).
    bool Settled(HWND window)
    {
        DWORD_PTR result = 0;
        return WaitUntil([&] { return !::IsWindow(window); }, 5000) &&
               ::SendMessageTimeoutA(m_app->MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    }
    void Toggle(HWND dialog, int id)
    {
        const bool before = IsChecked(dialog, id);
        Press(dialog, id);
        EXPECT_TRUE(WaitUntil([&] { return IsChecked(dialog, id) != before; }, 2000)) << id;
    }
    // The three letters chosen (begin, end, automatic begin), and those shown.
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
    HWND WaitForSelector()
    {
        HWND selector = nullptr;
        const RECT screen = Screen();
        WaitUntil(
            [&] {
                for (HWND hwnd : TopLevelWindows(Pid(), "#32770")) {
                    RECT rect = {};
                    if (::IsWindowVisible(hwnd) && ::GetWindowRect(hwnd, &rect) && ::EqualRect(&rect, &screen))
                        selector = hwnd;
                }
                return selector != nullptr;
            },
            5000);
        ::Sleep(200);  // painted
        return selector;
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
        return TextOf(dialog, label);
    }
    // The chooser of "..." given a path and its OK: what it said ("" when it closed).
    std::string ChooseFolder(HWND dialog, const std::string& path, int answer = IDOK)
    {
        Press(dialog, IDC_BROWSE_DIRECTORY);
        const HWND chooser = WaitForDialog(Pid(), "Select folder");
        TypeText(chooser, kPathBox, path);
        const std::string said = PressFor(chooser, IDOK, answer);
        EXPECT_TRUE(Settled(chooser));
        return said;
    }
    // The Save As dialog of a "Browse" or "..." given a name; a question about the file is
    // answered Yes.
    void SaveAs(HWND dialog, int id, const std::string& name)
    {
        Press(dialog, id);
        const HWND saveAs = WaitForDialog(Pid(), kSaveAs);
        ASSERT_TRUE(saveAs) << "no Save As dialog";
        ::SendMessageA(::GetDlgItem(saveAs, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        PressFor(saveAs, IDOK, IDYES, kSaveAs);
        EXPECT_TRUE(Settled(saveAs));
    }
};
}  // namespace

TEST_F(OptionDialog, RefusesWhatIsMissingStoresOnlyOnOkAndTheLettersSurviveARestart)
{
    {
        CPixlet app;
        ASSERT_TRUE(Start(app));
        HWND dialog = Open();
        ASSERT_TRUE(dialog) << "the tray menu's Option opened nothing";
        EXPECT_EQ(TextOf(dialog, IDC_CAPTURE_RECT) + TextOf(dialog, IDC_AVI_RECT), "(0, 0) - (0, 0)(0, 0) - (0, 0)");
        EXPECT_EQ(TextOf(dialog, IDC_AVI_RATE) + TextOf(dialog, IDC_END_AFTER) + TextOf(dialog, IDC_BASE_NUMBER) +
                      TextOf(dialog, IDC_DIGITS) + TextOf(dialog, IDC_FILE_TYPE) + Letters(dialog),
                  "10313.pngBEC");
        EXPECT_FALSE(IsChecked(dialog, IDC_SAVE_TO_FILE) || IsChecked(dialog, IDC_INCLUDE_CURSOR));
        EXPECT_TRUE(IsChecked(dialog, IDC_OVERWRITE));
        ::Sleep(300);
        SaveScreenshotIfAsked("option-dialog");

        // Two equal letters: the message names the pair.
        Letters(dialog, "BBC");
        EXPECT_EQ(PressFor(dialog, IDOK), kManually);
        Letters(dialog, "CEC");
        EXPECT_EQ(PressFor(dialog, IDOK), kManually);
        Letters(dialog, "BCC");
        EXPECT_EQ(PressFor(dialog, IDOK),
                  "Hot key to copy AVI automatically is duplicated with others.  Please correct it.");
        Letters(dialog, "BEC");
        // Saving into files needs a file, or a prefix and then a directory.
        Toggle(dialog, IDC_SAVE_TO_FILE);
        EXPECT_EQ(PressFor(dialog, IDOK), "Please specify the target file.");
        Toggle(dialog, IDC_AUTO_NUMBER);
        EXPECT_EQ(PressFor(dialog, IDOK), "Please specify the prefix of files.");
        TypeText(dialog, IDC_PREFIX, "shot123456");
        EXPECT_EQ(TextOf(dialog, IDC_PREFIX), "shot12");
        EXPECT_EQ(PressFor(dialog, IDOK), "Please specify the directory to save files.");
        // Cancel stores nothing.
        Letters(dialog, "XYZ");
        TypeText(dialog, IDC_AVI_RATE, "5");
        EXPECT_EQ(PressFor(dialog, IDCANCEL), "");
        ASSERT_TRUE(dialog = Open());
        EXPECT_EQ(TextOf(dialog, IDC_PREFIX) + TextOf(dialog, IDC_AVI_RATE) + Letters(dialog), "10BEC");
        EXPECT_FALSE(IsChecked(dialog, IDC_SAVE_TO_FILE));

        // Typing a prefix ticks "Save result into file", not a radio button; deleting it leaves
        // the tick.
        TypeChar(dialog, IDC_PREFIX, 'p');
        TypeChar(dialog, IDC_PREFIX, 'q');
        EXPECT_EQ(TextOf(dialog, IDC_PREFIX), "pq");
        EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_TO_FILE) && IsChecked(dialog, IDC_OVERWRITE));
        TypeText(dialog, IDC_PREFIX, "");
        EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_TO_FILE));
        Toggle(dialog, IDC_SAVE_TO_FILE);
        // OK: the new letters hold at once and go into the profile.
        Letters(dialog, "DFG");
        TypeText(dialog, IDC_AVI_RATE, "7");
        ASSERT_EQ(PressFor(dialog, IDOK), "");
        for (UINT letter : {'D', 'F', 'G'})
            EXPECT_FALSE(IsHotKeyFree(kCtrlShift, letter)) << static_cast<char>(letter);
        for (UINT letter : {'B', 'E', 'C'})
            EXPECT_TRUE(IsHotKeyFree(kCtrlShift, letter)) << static_cast<char>(letter);
        DWORD begin = 0, size = sizeof begin;
        ::RegGetValueA(HKEY_CURRENT_USER, kHotKeyKey, "AVIB", RRF_RT_REG_DWORD, nullptr, &begin, &size);
        EXPECT_EQ(begin, 68u);
        // A rate out of its range keeps the last valid one.
        ASSERT_TRUE(dialog = Open());
        TypeText(dialog, IDC_AVI_RATE, "25");
        ASSERT_EQ(PressFor(dialog, IDOK), "");
        ASSERT_TRUE(dialog = Open());
        EXPECT_EQ(TextOf(dialog, IDC_AVI_RATE) + Letters(dialog), "7DFG");
        PressFor(dialog, IDCANCEL);
        ASSERT_TRUE(app.Exit());
    }
    // After a restart only the letters are kept. One edited into the profile outside A to Z
    // shows no letter, and OK keeps it.
    SetHotKeyValue("AVIE", '1');
    CPixlet again;
    ASSERT_TRUE(Start(again));
    EXPECT_FALSE(IsHotKeyFree(kCtrlShift, 'D'));
    const HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(TextOf(dialog, IDC_AVI_RATE) + Letters(dialog), "10D@G");
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    EXPECT_FALSE(IsHotKeyFree(kCtrlShift, '1'));
    DWORD end = 0, size = sizeof end;
    ::RegGetValueA(HKEY_CURRENT_USER, kHotKeyKey, "AVIE", RRF_RT_REG_DWORD, nullptr, &end, &size);
    EXPECT_EQ(end, DWORD('1'));
}

TEST_F(OptionDialog, RectanglesAreChosenOnTheFrozenScreenAndKeptOnIt)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    CPaintedWindow pattern(Screen(), CPaintedWindow::Pattern);
    CPaintedWindow partly(RECT{-40, -30, 300, 200}, CPaintedWindow::Solid, RGB(0, 160, 0));
    CPaintedWindow target(RECT{700, 100, 900, 250}, CPaintedWindow::Solid, RGB(0, 0, 200));
    const HWND dialog = Open();
    ASSERT_TRUE(dialog);

    // The selector shows the screen as it was; hot keys do nothing meanwhile. A click on a
    // window partly off the screen gives its rectangle, kept on the screen.
    HWND selector = Browse(dialog, IDC_BROWSE_CAPTURE_RECT);
    ASSERT_TRUE(selector);
    target.SetColour(RGB(200, 0, 0));
    ::Sleep(300);
    EXPECT_EQ(ScreenPixels(RECT{800, 170, 801, 171}).At(0, 0), RGB(0, 0, 200)) << "the screen is not frozen";
    PutOnClipboard("kept");
    m_pacer.WaitForNextAction();
    PressKeys({VK_SNAPSHOT});
    ::Sleep(1500);
    EXPECT_EQ(ClipboardText(), "kept") << "PrintScreen acted while a rectangle was chosen";
    MoveMouseInSteps(POINT{100, 100}, POINT{120, 110}, 3);
    DragMouse(POINT{120, 110}, POINT{120, 110}, 1);
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_CAPTURE_RECT), "(0, 0) - (300, 200)");
    // Dragged towards the upper left: kept reversed.
    ASSERT_TRUE(selector = Browse(dialog, IDC_BROWSE_CAPTURE_RECT));
    DragMouse(POINT{900, 700}, POINT{700, 500});
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_CAPTURE_RECT), "(900, 700) - (700, 500)");
    // The AVI rectangle: a right click leaves it; Ctrl at the press takes the window under it.
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
    RightButton(true);
    RightButton(false);
    EXPECT_TRUE(WaitUntilClosed(selector));
    // After OK, PrintScreen takes the rectangle chosen.
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    m_pacer.WaitForNextAction();
    PressKeys({VK_SNAPSHOT});
    ASSERT_TRUE(WaitUntil([] { return ::IsClipboardFormatAvailable(CF_BITMAP) != FALSE; }, 5000));
    const CPixels picture = ClipboardBitmap();
    EXPECT_EQ(picture.width * 1000 + picture.height, 200200);
    EXPECT_EQ(CompareWithPattern(picture, 700, 500).count, 0);
}

TEST_F(OptionDialog, NumberedFilesGoIntoAFolderChosenOrMadeInTheChooser)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    const std::string made = CScratch::Windows("made\\day1"), never = CScratch::Windows("never");
    const HWND dialog = Open();
    ASSERT_TRUE(dialog);

    // Without a directory the chooser opens at C:\. Up from there is My Computer, no folder on
    // disk: nothing to accept, as a path with two backslashes in a row.
    Press(dialog, IDC_BROWSE_DIRECTORY);
    const HWND chooser = WaitForDialog(Pid(), "Select folder");
    ASSERT_TRUE(chooser) << "no folder chooser";
    EXPECT_EQ(TextOf(chooser, kPathBox), "C:\\");
    ::Sleep(300);
    SaveScreenshotIfAsked("folder-chooser");
    ::PostMessageA(chooser, WM_COMMAND, kUpOneFolder, 0);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(chooser, kPathBox).empty(); }, 3000)) << TextOf(chooser, kPathBox);
    EXPECT_EQ(PressFor(chooser, IDOK), "Invalid Folder");
    TypeText(chooser, kPathBox, "C:\\users\\\\public");
    EXPECT_EQ(PressFor(chooser, IDOK), "Invalid Folder");
    // Two nested folders that do not exist, with a trailing backslash: made without it.
    TypeText(chooser, kPathBox, made + "\\");
    EXPECT_EQ(PressFor(chooser, IDOK, IDYES), made + kNotThere);
    ASSERT_TRUE(Settled(chooser));
    EXPECT_TRUE(IsDirectory(made));
    EXPECT_EQ(TextOf(dialog, IDC_DIRECTORY), made + "\\");
    EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_TO_FILE) && IsChecked(dialog, IDC_AUTO_NUMBER));
    // No to the question still chooses the folder, without making it.
    EXPECT_EQ(ChooseFolder(dialog, never, IDNO), never + kNotThere);
    EXPECT_EQ(TextOf(dialog, IDC_DIRECTORY), never + "\\");
    EXPECT_FALSE(FileExists(never));
    // A target file chosen with "..." ticks "Overwrite the same file".
    SaveAs(dialog, IDC_BROWSE_TARGET_FILE, CScratch::Windows("one.png"));
    EXPECT_EQ(TextOf(dialog, IDC_TARGET_FILE), CScratch::Windows("one.png"));
    EXPECT_TRUE(IsChecked(dialog, IDC_OVERWRITE));

    // Numbered BMP files from 5 on in the folder made, without the cursor...
    EXPECT_EQ(ChooseFolder(dialog, made), "");
    TypeText(dialog, IDC_PREFIX, "shot");
    TypeText(dialog, IDC_BASE_NUMBER, "5");
    ChooseItem(dialog, IDC_FILE_TYPE, 1);
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    const RECT screen = Screen();
    const COLORREF colour = RGB(40, 80, 120);
    CPaintedWindow solid(screen, CPaintedWindow::Solid, colour);
    const RECT nearCursor = {600, 400, 612, 416};
    MoveMouseTo(POINT{600, 400});
    for (const char* name : {"\\shot005.bmp", "\\shot006.bmp"}) {
        m_pacer.WaitForNextAction();
        PressKeys({VK_SNAPSHOT});
        EXPECT_TRUE(WaitUntil([&] { return FileExists(made + name); }, 5000)) << name;
    }
    ::Sleep(500);  // written whole
    const CPixels bmp = DecodeImageFile(CScratch::Host("made/day1/shot006.bmp"), screen.right, screen.bottom);
    ASSERT_FALSE(bmp.Empty()) << "shot006.bmp is no picture of the screen";
    EXPECT_FALSE(Marked(bmp, nearCursor, colour)) << "a cursor was drawn though not asked for";
    // ...then PNG files with the cursor, numbered from the base number again after OK.
    const HWND again = Open();
    ASSERT_TRUE(again);
    ChooseItem(again, IDC_FILE_TYPE, 0);
    Toggle(again, IDC_INCLUDE_CURSOR);
    ASSERT_EQ(PressFor(again, IDOK), "");
    // The cursor that the program takes is the one of the window in front (under Wine): this
    // test's window, its arrow set again by a move over it.
    ::SetForegroundWindow(solid);
    MoveMouseTo(POINT{601, 401});
    MoveMouseTo(POINT{600, 400});
    m_pacer.WaitForNextAction();
    PressKeys({VK_SNAPSHOT});
    ASSERT_TRUE(WaitUntil([&] { return FileExists(made + "\\shot005.png"); }, 5000));
    ::Sleep(500);
    const CPixels png = DecodeImageFile(CScratch::Host("made/day1/shot005.png"), screen.right, screen.bottom);
    ASSERT_FALSE(png.Empty()) << "shot005.png is no picture of the screen";
    EXPECT_TRUE(Marked(png, nearCursor, colour)) << "no cursor where the pointer was";
    EXPECT_EQ(png.At(700, 400), colour);
}

TEST_F(OptionDialog, RecordingsGoIntoTheAviFileChosenWithBrowse)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    CPaintedWindow pattern(Screen(), CPaintedWindow::Pattern);
    const HWND dialog = Open();
    ASSERT_TRUE(dialog);
    // Numbered PNG files, and a timed recording of a rectangle into a file named without its
    // extension.
    EXPECT_EQ(ChooseFolder(dialog, CScratch::WindowsDir()), "");
    TypeText(dialog, IDC_PREFIX, "shot");
    SaveAs(dialog, IDC_BROWSE_AVI_FILE, CScratch::Windows("clip"));
    EXPECT_EQ(TextOf(dialog, IDC_AVI_FILE), CScratch::Windows("clip.avi"));
    const HWND selector = Browse(dialog, IDC_BROWSE_AVI_RECT);
    ASSERT_TRUE(selector);
    DragMouse(POINT{100, 120}, POINT{260, 240});
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_AVI_RECT), "(100, 120) - (260, 240)");
    TypeText(dialog, IDC_AVI_RATE, "5");
    TypeText(dialog, IDC_END_AFTER, "2");
    ::Sleep(300);
    SaveScreenshotIfAsked("option-dialog-filled");
    ASSERT_EQ(PressFor(dialog, IDOK), "");

    // The automatic begin letter records "End after" seconds of frames and ends by itself.
    const std::string clip = CScratch::Host("clip.avi");
    m_pacer.WaitForNextAction();
    PressKeys({VK_CONTROL, VK_SHIFT, 'C'});
    ::Sleep(3500);  // ten frames a fifth of a second apart, the first a fifth after the key
    const CVideoInfo timed = ProbeVideo(clip);
    EXPECT_EQ(timed.packets, 10);
    EXPECT_EQ(timed.frameRate, "5/1");
    EXPECT_EQ(timed.width * 1000 + timed.height, 160120);
    const std::vector<CPixels> frames = DecodeFrames(clip, 160, 120);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(CompareWithPattern(frames.back(), 100, 120).count, 0);
    // The manual begin letter records until the end letter.
    m_pacer.WaitForNextAction();
    PressKeys({VK_CONTROL, VK_SHIFT, 'B'});
    m_pacer.WaitForNextAction();
    PressKeys({VK_CONTROL, VK_SHIFT, 'E'});
    ::Sleep(1000);
    const int packets = ProbeVideo(clip).packets;
    EXPECT_TRUE(packets >= 8 && packets <= 20) << packets;
}
