// The user's choices and the state that the capture flows share, one record of each for the
// whole process. Only the three AVI hot-key letters survive a restart (in the profile); all the
// rest starts from the defaults below.
#pragma once

#include <windows.h>

#include <string>

struct CaptureSettings {
    // Action codes of the two still-picture hot keys; no letter can equal them.
    static constexpr char m_chCopyManually = 1;
    static constexpr char m_chCopyAutomatically = 2;

    char m_chAviBeginKey = 'B';
    char m_chAviEndKey = 'E';
    char m_chAviAutoBeginKey = 'C';
    int m_nAviRate = 10;     // frames per second, 1..20
    int m_nAviEndAfter = 3;  // seconds, 1..30
    int m_nBaseNumber = 1;   // 0..3000
    int m_nDigits = 3;       // 1..6
    char m_szExtension[8] = ".png";
    char m_szPrefix[16] = "";
    char m_szTargetFile[MAX_PATH] = "";
    char m_szDirectory[MAX_PATH] = "";
    char m_szAviFile[MAX_PATH] = "";
    RECT m_rcAvi = {0, 0, 0, 0};
    RECT m_rcCapture = {0, 0, 0, 0};
    BOOL m_bIncludeCursor = FALSE;
    BOOL m_bSaveToFile = FALSE;
    int m_nSaveMode = 0;  // 0 overwrite one file, 1 numbered files
    int m_nLastNumber = 0;
};

struct CaptureState {
    BOOL m_bBusy = FALSE;      // a hot-key action (or the Option dialog's rectangle choice) runs
    BOOL m_bTextMode = FALSE;  // the window being picked is wanted as text, not as a picture
    CURSORINFO m_cursorInfo = {};  // the cursor when the last hot-key action arrived
};

extern CaptureSettings theSettings;
extern CaptureState theState;

// Profile section and values of the three letters.
extern const char kHotKeySection[];
extern const char kAviBeginEntry[];
extern const char kAviEndEntry[];
extern const char kAviAutoBeginEntry[];

// Reads the three letters from the profile and resets the paths and rectangles.
void LoadSettings();
// Writes the three letters to the profile.
void SaveSettings();
// Fills theState.m_cursorInfo with the cursor as it is now.
void TakeCursorSnapshot();
// "(left, top) - (right, bottom)".
std::string FormatRect(const RECT& rect);
