// The Option dialog, the one place where the user changes the settings. It shows the choices
// it is given: the letters, numbers and paths live in its controls, the rest in its fields, and
// only an OK whose choices keep every rule of the settings (capture/SettingRules; what breaks
// one is refused in words) makes the new choices, all at once, for the caller to store.
// Choosing a target file or a directory ticks "Save result into file" and the matching radio
// button by itself, and typing a prefix ticks the box. Its rectangles are picked on the frozen
// screen by the caller's picker, which knows whether an action runs.
#pragma once

#include "capture/CaptureSettings.h"
#include "capture/SettingRules.h"
#include "framework/Dialog.h"
#include "ui/AboutLink.h"
#include "ui/PathLabel.h"

#include <functional>
#include <string>

// The list index of a hot-key letter (either case), or -1 for a character that is no letter of
// A to Z.
int LetterIndex(char letter);
// A rectangle chosen on the screen, kept on it: left and top at least the screen's, right and
// bottom at most the screen's. It is not ordered: one dragged to the upper left stays reversed.
RECT ClampChosenRect(RECT rect, const RECT& screen);

class COptionsDlg : public CDialog
{
public:
    // Picks a rectangle of the screen for the dialog (which it may hide meanwhile); false when
    // none was picked.
    using RectPicker = std::function<bool(HWND dialog, RECT& rect)>;

    COptionsDlg(const CaptureSettings& current, RectPicker pickRect);
    ~COptionsDlg() override;

    // After IDOK: every choice as the dialog's OK made it.
    const CaptureSettings& Choices() const { return m_choices; }

    RECT m_rcAvi = {0, 0, 0, 0};
    RECT m_rcCapture = {0, 0, 0, 0};
    CAboutLink m_aboutLink;
    BOOL m_bSaveToFile = FALSE;
    std::string m_strPrefix;
    int m_nSaveMode = -1;  // 0 one file, 1 numbered files, -1 no radio button checked
    BOOL m_bIncludeCursor = FALSE;
    BOOL m_bAviCompress = FALSE;
    CPathLabel m_lblTargetFile;
    CPathLabel m_lblDirectory;
    CPathLabel m_lblAviFile;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    void OnBrowseAviFile();
    void OnBrowseCaptureRect();
    void OnBrowseAviRect();
    void OnBrowseDirectory();
    void OnChangePrefix();
    void OnBrowseTargetFile();

    void FillLetterCombo(int id, char letter);
    void GetSelectedLetter(int id, char& letter) const;
    void ShowRect(int id, const RECT& rect);
    void BrowseRect(int id, RECT& rect);
    // A chosen path shown in its label, with "Save result into file" ticked and the radio
    // button of its kind of saving chosen.
    void ChooseSavePath(int labelId, const std::string& path, int saveMode);
    void InitSpin(int id, const SettingRange& range, int position);
    int SpinPosition(int id) const;
    std::string ItemText(int id) const;

    CaptureSettings m_choices;
    RectPicker m_pickRect;
};
