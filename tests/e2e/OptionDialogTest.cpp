// The Option dialog as a user works it in the real program: what OK refuses, what it stores and
// when, the letters at once and after a restart, and the rectangles chosen on the frozen screen.
// (The folder chooser, the numbered files and the recordings it sets up have files of their own.)
#include "support/Clipboard.h"
#include "support/Desktop.h"
#include "support/Dialogs.h"
#include "support/PixletTest.h"
#include "support/Screen.h"

#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {
const char kManually[] = "Hot key to copy AVI manually is duplicated with others.  Please correct it.";

using OptionDialog = COptionTest;
}  // namespace

TEST_F(OptionDialog, RefusesWhatIsMissingStoresOnlyOnOkAndTheLettersSurviveARestart)
{
    {
        CPixlet app;
        ASSERT_TRUE(Start(app));
        HWND dialog = OpenOption();
        ASSERT_TRUE(dialog) << "the tray menu's Option opened nothing";

        Step("the defaults, and the ranges of the spin buttons");
        EXPECT_EQ(NamedTexts(dialog, {{"capture", IDC_CAPTURE_RECT}, {"avi", IDC_AVI_RECT}, {"rate", IDC_AVI_RATE},
                                      {"end after", IDC_END_AFTER}, {"base", IDC_BASE_NUMBER}, {"digits", IDC_DIGITS},
                                      {"type", IDC_FILE_TYPE}}) + " letters=" + Letters(dialog),
                  "capture=(0, 0) - (0, 0) avi=(0, 0) - (0, 0) rate=10 end after=3 base=1 digits=3 "
                  "type=.png letters=BEC");
        EXPECT_FALSE(IsChecked(dialog, IDC_SAVE_TO_FILE) || IsChecked(dialog, IDC_INCLUDE_CURSOR) ||
                     IsChecked(dialog, IDC_AVI_COMPRESS));
        EXPECT_TRUE(IsChecked(dialog, IDC_OVERWRITE));
        std::string ranges;
        for (int spin : {IDC_AVI_RATE_SPIN, IDC_END_AFTER_SPIN, IDC_BASE_NUMBER_SPIN, IDC_DIGITS_SPIN}) {
            const LRESULT range = ::SendMessageA(::GetDlgItem(dialog, spin), UDM_GETRANGE, 0, 0);
            ranges += " " + std::to_string(HIWORD(range)) + ".." + std::to_string(LOWORD(range));
        }
        EXPECT_EQ(ranges, " 1..20 1..30 0..3000 1..6") << "rate, end after, base number, digits";
        WaitUntilPainted(dialog);
        SaveScreenshotIfAsked("option-dialog");

        Step("two equal letters: the message names the pair");
        Letters(dialog, "BBC");
        EXPECT_EQ(PressFor(dialog, IDOK), kManually);
        Letters(dialog, "CEC");
        EXPECT_EQ(PressFor(dialog, IDOK), kManually);
        Letters(dialog, "BCC");
        EXPECT_EQ(PressFor(dialog, IDOK),
                  "Hot key to copy AVI automatically is duplicated with others.  Please correct it.");
        Letters(dialog, "BEC");

        Step("saving into files needs a file, or a prefix and then a directory");
        Toggle(dialog, IDC_SAVE_TO_FILE);
        EXPECT_EQ(PressFor(dialog, IDOK), "Please specify the target file.");
        Toggle(dialog, IDC_AUTO_NUMBER);
        EXPECT_EQ(PressFor(dialog, IDOK), "Please specify the prefix of files.");
        TypeText(dialog, IDC_PREFIX, "shot123456");
        EXPECT_EQ(TextOf(dialog, IDC_PREFIX), "shot12");
        EXPECT_EQ(PressFor(dialog, IDOK), "Please specify the directory to save files.");

        Step("a prefix with a character no file name holds, an AVI file with no room for a next file's \"-2\"");
        TypeText(dialog, IDC_PREFIX, "a:b");
        EXPECT_EQ(PressFor(dialog, IDOK), "The prefix of files cannot hold any of the characters \\ / : * ? \" < > | "
                                          "nor a control character. Please correct it.");
        TypeText(dialog, IDC_PREFIX, "shot12");
        const std::string avi = "C:\\" + std::string(250, 'a') + ".avi";  // 257 characters
        SetText(dialog, IDC_AVI_FILE, avi);
        EXPECT_EQ(PressFor(dialog, IDOK), avi + "\n\nThis path is too long for a recording, which goes on in next "
                                                "files named with \"-2\", \"-3\", ... added. Please choose one of at "
                                                "most 256 characters.");

        Step("Cancel stores nothing");
        Letters(dialog, "XYZ");
        TypeText(dialog, IDC_AVI_RATE, "5");
        EXPECT_EQ(PressFor(dialog, IDCANCEL), "");
        ASSERT_TRUE(dialog = OpenOption());
        EXPECT_EQ(NamedTexts(dialog, {{"prefix", IDC_PREFIX}, {"rate", IDC_AVI_RATE}}) + " letters=" + Letters(dialog),
                  "prefix= rate=10 letters=BEC");
        EXPECT_FALSE(IsChecked(dialog, IDC_SAVE_TO_FILE));

        Step("typing a prefix ticks \"Save result into file\", not a radio button; deleting it leaves the tick");
        TypeChar(dialog, IDC_PREFIX, 'p');
        TypeChar(dialog, IDC_PREFIX, 'q');
        EXPECT_EQ(TextOf(dialog, IDC_PREFIX), "pq");
        EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_TO_FILE) && IsChecked(dialog, IDC_OVERWRITE));
        TypeText(dialog, IDC_PREFIX, "");
        EXPECT_TRUE(IsChecked(dialog, IDC_SAVE_TO_FILE));
        Toggle(dialog, IDC_SAVE_TO_FILE);

        Step("OK: the new letters hold at once and go into the profile");
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

        Step("a rate out of its range keeps the last valid one");
        ASSERT_TRUE(dialog = OpenOption());
        TypeText(dialog, IDC_AVI_RATE, "25");
        ASSERT_EQ(PressFor(dialog, IDOK), "");
        ASSERT_TRUE(dialog = OpenOption());
        EXPECT_EQ(NamedTexts(dialog, {{"rate", IDC_AVI_RATE}}) + " letters=" + Letters(dialog), "rate=7 letters=DFG");
        PressFor(dialog, IDCANCEL);
        ASSERT_TRUE(app.Exit());
    }
    Step("after a restart the choices are kept; a letter edited into the profile outside A to Z "
         "is not trusted: its key keeps the default letter, which OK stores");
    SetHotKeyValue("AVIE", '1');
    CPixlet again;
    ASSERT_TRUE(Start(again));
    EXPECT_FALSE(IsHotKeyFree(kCtrlShift, 'D'));
    EXPECT_TRUE(IsHotKeyFree(kCtrlShift, '1'));
    const HWND dialog = OpenOption();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(NamedTexts(dialog, {{"rate", IDC_AVI_RATE}}) + " letters=" + Letters(dialog), "rate=7 letters=DEG");
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    DWORD end = 0, size = sizeof end;
    ::RegGetValueA(HKEY_CURRENT_USER, kHotKeyKey, "AVIE", RRF_RT_REG_DWORD, nullptr, &end, &size);
    EXPECT_EQ(end, DWORD('E'));
}

TEST_F(OptionDialog, AProfileOfValuesTheDialogCouldNotHaveMadeGivesTheDefaults)
{
    const char* const settings[] = {"SaveToFile", "SaveMode",      "TargetFile",  "Directory", "Prefix",
                                    "BaseNumber", "Digits",        "Type",        "IncludeCursor",
                                    "CaptureRect", "AviFile",      "AviRect",     "AviRate",   "AviEndAfter",
                                    "LastNumber"};
    const std::string section = std::string(kHotKeyKey).substr(0, std::string(kHotKeyKey).rfind('\\')) + "\\Settings";
    // Every value the program keeps: first a text, then the number 0xFFFFFFFF.
    for (const DWORD type : {DWORD(REG_SZ), DWORD(REG_DWORD)}) {
        Step(type == REG_SZ ? "every value a text" : "every value 0xFFFFFFFF");
        const std::string bytes = type == REG_SZ ? std::string("?\0", 2) : std::string(4, '\xFF');
        for (const char* name : settings)
            ::RegSetKeyValueA(HKEY_CURRENT_USER, section.c_str(), name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
        for (const char* name : {"AVIB", "AVIE", "AVIAB"})
            SetHotKeyValue(name, type, bytes);
        CPixlet app;
        ASSERT_TRUE(Start(app));
        PutOnClipboard("none");
        PressHotKey({VK_SNAPSHOT});
        EXPECT_TRUE(WaitUntil(HasBitmap, 5000)) << "PrintScreen took nothing";
        const HWND dialog = OpenOption();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(NamedTexts(dialog, {{"capture", IDC_CAPTURE_RECT}, {"avi", IDC_AVI_RECT}, {"rate", IDC_AVI_RATE},
                                      {"end after", IDC_END_AFTER}, {"base", IDC_BASE_NUMBER}, {"digits", IDC_DIGITS},
                                      {"type", IDC_FILE_TYPE}, {"prefix", IDC_PREFIX}, {"dir", IDC_DIRECTORY},
                                      {"target", IDC_TARGET_FILE}, {"avi file", IDC_AVI_FILE}}) +
                      " letters=" + Letters(dialog),
                  "capture=(0, 0) - (0, 0) avi=(0, 0) - (0, 0) rate=10 end after=3 base=1 digits=3 type=.png prefix= "
                  "dir= target= avi file= letters=BEC");
        EXPECT_FALSE(IsChecked(dialog, IDC_SAVE_TO_FILE) || IsChecked(dialog, IDC_INCLUDE_CURSOR) ||
                     IsChecked(dialog, IDC_AVI_COMPRESS));
        PressFor(dialog, IDCANCEL);
        ASSERT_TRUE(app.Exit());
    }
}

TEST_F(OptionDialog, KeysHeldByAnotherProgramAreNamedAtStartAndAfterOk)
{
    // PrintScreen held here before the start, and Windows set to open its own capture with it.
    const char kKeyboard[] = "Control Panel\\Keyboard";
    const DWORD on = 1;
    ::RegSetKeyValueA(HKEY_CURRENT_USER, kKeyboard, "PrintScreenKeyForSnippingEnabled", REG_DWORD, &on, sizeof on);
    ASSERT_TRUE(::RegisterHotKey(nullptr, 1, 0, VK_SNAPSHOT));
    CPixlet app;
    const bool started = Start(app);
    ::UnregisterHotKey(nullptr, 1);
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kKeyboard, "PrintScreenKeyForSnippingEnabled");
    ASSERT_TRUE(started);

    Step("a balloon from the tray icon names PrintScreen and says where Windows' use of it is turned off");
    std::string balloon;
    EXPECT_TRUE(WaitUntil([&] { return (balloon = VisibleTooltipText("PrintScreen")).size() > 0; }, 5000));
    EXPECT_EQ(balloon.rfind("PrintScreen does nothing here. PrintScreen opens Windows' own screen capture: turn off "
                            "\"Use the Print screen key to open screen capture\" in Settings > Accessibility > Keyboard.",
                            0),
              0u)
        << balloon;

    Step("a letter held by another program and chosen in the dialog: named after OK");
    ASSERT_TRUE(::RegisterHotKey(nullptr, 2, kCtrlShift, 'G'));
    const HWND dialog = OpenOption();
    ASSERT_TRUE(dialog);
    Letters(dialog, "BEG");
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    EXPECT_EQ(AnswerMessageBox(Pid()).text,
              "Another program holds Ctrl + Shift + G, so it does nothing here. Please choose another letter.");
    ::UnregisterHotKey(nullptr, 2);
}

TEST_F(OptionDialog, RectanglesAreChosenOnTheFrozenScreenAndKeptOnIt)
{
    CPixlet app;
    ASSERT_TRUE(Start(app));
    const RECT screen = Screen();
    CPaintedWindow pattern(screen, CPaintedWindow::Pattern);
    CPaintedWindow partly(RECT{-40, -30, 300, 200}, CPaintedWindow::Solid, RGB(0, 160, 0));
    const RECT beyondRect = {screen.right - 60, screen.bottom - 40, screen.right + 60, screen.bottom + 40};
    CPaintedWindow beyond(beyondRect, CPaintedWindow::Solid, RGB(160, 0, 160));
    CPaintedWindow target(RECT{700, 100, 900, 250}, CPaintedWindow::Solid, RGB(0, 0, 200));
    HWND dialog = OpenOption();
    ASSERT_TRUE(dialog);

    Step("the selector shows the screen as it was; hot keys do nothing meanwhile; a click on a "
         "window partly off the screen gives its rectangle, kept on the screen");
    HWND selector = Browse(dialog, IDC_BROWSE_CAPTURE_RECT);
    ASSERT_TRUE(selector);
    target.SetColour(RGB(200, 0, 0), 1000);
    EXPECT_EQ(ScreenPixels(RECT{800, 170, 801, 171}).At(0, 0), RGB(0, 0, 200)) << "the screen is not frozen";
    PutOnClipboard("kept");
    PressHotKey({VK_SNAPSHOT});
    EXPECT_FALSE(WaitUntil([] { return ClipboardText() != "kept"; }, 1500))
        << "PrintScreen acted while a rectangle was chosen";
    MoveMouseInSteps(POINT{100, 100}, POINT{120, 110}, 3);
    DragMouse(POINT{120, 110}, POINT{120, 110}, 1);
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_CAPTURE_RECT), "(0, 0) - (300, 200)");

    Step("the same at the right and bottom edges of the screen");
    ASSERT_TRUE(selector = Browse(dialog, IDC_BROWSE_CAPTURE_RECT));
    const POINT inBeyond = {beyondRect.left + 30, beyondRect.top + 20};
    MoveMouseInSteps(POINT{inBeyond.x - 10, inBeyond.y - 10}, inBeyond, 3);
    DragMouse(inBeyond, inBeyond, 1);
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_CAPTURE_RECT), "(" + std::to_string(beyondRect.left) + ", " +
                                                                  std::to_string(beyondRect.top) + ") - (" +
                                                                  std::to_string(screen.right) + ", " +
                                                                  std::to_string(screen.bottom) + ")");

    Step("dragged towards the upper left: kept reversed; a right click then keeps it");
    ASSERT_TRUE(selector = Browse(dialog, IDC_BROWSE_CAPTURE_RECT));
    DragMouse(POINT{900, 700}, POINT{700, 500});
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_CAPTURE_RECT), "(900, 700) - (700, 500)");
    ASSERT_TRUE(selector = Browse(dialog, IDC_BROWSE_CAPTURE_RECT));
    RightClickAt(POINT{500, 300});
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_CAPTURE_RECT), "(900, 700) - (700, 500)") << "a right click changed it";

    Step("the AVI rectangle: Ctrl at the press takes the window under it; a right click then keeps it");
    ASSERT_TRUE(selector = Browse(dialog, IDC_BROWSE_AVI_RECT));
    MoveMouseTo(POINT{800, 175});
    ASSERT_TRUE(PressWithCtrl());
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_AVI_RECT), "(700, 100) - (900, 250)");
    ASSERT_TRUE(selector = Browse(dialog, IDC_BROWSE_AVI_RECT));
    RightClickAt(POINT{500, 300});
    EXPECT_EQ(ChosenRect(dialog, selector, IDC_AVI_RECT), "(700, 100) - (900, 250)") << "a right click changed it";

    Step("while an action runs (the selector of Ctrl+PrintScreen), \"Browse\" does nothing");
    ASSERT_TRUE(selector = OpenSelector());
    Press(dialog, IDC_BROWSE_CAPTURE_RECT);
    EXPECT_FALSE(WaitUntil([&] { return !::IsWindowVisible(dialog); }, 1000)) << "Browse ran during an action";
    RightClickAt(POINT{500, 300});
    EXPECT_TRUE(WaitUntilClosed(selector));

    Step("after OK, PrintScreen takes the rectangle chosen, and the dialog shows both again");
    ASSERT_EQ(PressFor(dialog, IDOK), "");
    PressHotKey({VK_SNAPSHOT});
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000));
    const CPixels picture = ClipboardBitmap();
    EXPECT_EQ(std::to_string(picture.width) + "x" + std::to_string(picture.height), "200x200");
    EXPECT_EQ(CompareWithPattern(picture, 700, 500).count, 0);
    ASSERT_TRUE(dialog = OpenOption());
    EXPECT_EQ(NamedTexts(dialog, {{"capture", IDC_CAPTURE_RECT}, {"avi", IDC_AVI_RECT}}),
              "capture=(900, 700) - (700, 500) avi=(700, 100) - (900, 250)");
    PressFor(dialog, IDCANCEL);

    Step("after a restart both are kept, and PrintScreen takes the rectangle chosen");
    ASSERT_TRUE(app.Exit());
    CPixlet again;
    ASSERT_TRUE(Start(again));
    ASSERT_TRUE(dialog = OpenOption());
    EXPECT_EQ(NamedTexts(dialog, {{"capture", IDC_CAPTURE_RECT}, {"avi", IDC_AVI_RECT}}),
              "capture=(900, 700) - (700, 500) avi=(700, 100) - (900, 250)");
    PressFor(dialog, IDCANCEL);
    PutOnClipboard("none");
    PressHotKey({VK_SNAPSHOT});
    ASSERT_TRUE(WaitUntil(HasBitmap, 5000));
    EXPECT_EQ(CompareWithPattern(ClipboardBitmap(), 700, 500).count, 0);
}
