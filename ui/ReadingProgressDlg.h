// The small window that a long reading of a window's text shows near the pointer: what is read,
// how far it has come (in words, and with a bar where the total is known), and Stop (Esc too),
// which ends the reading with the whole items read so far. It follows the reading from a timer;
// its owner destroys it when the reading has ended.
#pragma once

#include "text/ReadingWatch.h"
#include "framework/Dialog.h"

#include <string>

class CReadingProgressDlg : public CDialog
{
public:
    CReadingProgressDlg(CReadingWatch& watch, HWND owner);
    ~CReadingProgressDlg() override;

    // Shows it beside the pointer, active, with the focus on Stop (Esc, Enter and Space press
    // it, from whichever loop dispatches its messages); false if it could not be made.
    bool Show();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    // Stop (the button, Esc): the reading is asked to end; the window goes with the reading.
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;

private:
    void Refresh();
    void SetText(int id, std::string& shown, const std::string& text);
    void ShowBar(const ReadingProgress& now);

    CReadingWatch& m_watch;
    // What the labels show: only a change is set, so that they do not flicker.
    std::string m_shownWhat, m_shownHowFar;
    int m_nBarTotal = -1, m_nBarDone = -1;  // the bar's range and position; -1 while it is hidden
};

// Where the window's top left corner goes: below right of the cursor, or on its other side
// where the monitor ends.
POINT ProgressOrigin(POINT cursor, SIZE window, const RECT& monitor);
