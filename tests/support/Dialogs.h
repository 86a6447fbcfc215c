// Another program's dialogs and message boxes, found and worked from the test's process as a
// user works them: buttons pressed, text typed, lists chosen, texts and states read.
#pragma once

#include "support/Screen.h"

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace testing_support {

// A visible dialog of the process with this caption; null when none shows within the time.
HWND WaitForDialog(DWORD pid, const char* caption, DWORD timeoutMs = 5000);
// Whether the window is shown and it and its controls have painted all of themselves within the time.
bool WaitUntilPainted(HWND window, DWORD timeoutMs = 2000);
// Whether the window is gone or hidden within the time.
bool WaitUntilClosed(HWND window, DWORD timeoutMs = 5000);

// What a message box said; `found` is false when none showed within the time.
struct CMessageBoxSeen {
    bool found = false;
    std::string text;
};
// A visible message box of the process under this caption, or null.
HWND FindMessageBox(DWORD pid, const char* caption = "Pixlet32");
// Waits for a message box of the process under this caption, reads it and presses the button.
CMessageBoxSeen AnswerMessageBox(DWORD pid, int button = IDOK, const char* caption = "Pixlet32",
                                 DWORD timeoutMs = 5000);

// Presses a button of the dialog; posted, so that what it opens does not hold the test up.
void Press(HWND dialog, int id);
// Replaces the text of an edit control as a user would: all selected, then typed over, one
// character at a time (an empty text deletes the selection).
void TypeText(HWND dialog, int id, const std::string& text);
// Types one character (a backspace deletes one) at the end of what is there.
void TypeChar(HWND dialog, int id, char c);
// Sets the text of an edit control at once, in the wide form: a text in any script (UTF-8).
void SetText(HWND dialog, int id, const std::string& text);
// Chooses the item of a drop-down list (-1: none).
void ChooseItem(HWND dialog, int id, int index);
int ChosenItem(HWND dialog, int id);
// The text of a window as it answers WM_GETTEXT (wide, as UTF-8): also an edit's or a
// tooltip's of another process, which GetWindowText does not read.
std::string WindowText(HWND window);
// The text of a control of the dialog.
std::string TextOf(HWND dialog, int id);
// The texts of the dialog's controls, each after its name: "rate=10 digits=3", so that a
// comparison of several says which differs.
std::string NamedTexts(HWND dialog, std::initializer_list<std::pair<const char*, int>> controls);
bool IsChecked(HWND dialog, int id);
// The centre of a control on the screen.
inline POINT CentreOf(HWND dialog, int id) { return Centre(::GetDlgItem(dialog, id)); }

}  // namespace testing_support
