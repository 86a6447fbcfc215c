// The user's choices, and the run-time state that the capture, recording and option code share.
// The program keeps one record of each for its whole life (the application layer owns them and
// hands them to the code that needs them): the choices read-only to what only reads them, and
// changed only by the Option dialog's OK and the profile; the state by the actions that run.
#pragma once

#include <windows.h>

#include <string>

// The most bytes of UTF-8 that one UTF-16 unit of the system's text needs (a surrogate pair, two
// units, takes four).
const size_t kUtf8BytesPerUnit = 3;

struct CaptureSettings {
    char m_chAviBeginKey = 'B';
    char m_chAviEndKey = 'E';
    char m_chAviAutoBeginKey = 'C';
    // What each choice may hold is said once, in capture/SettingRules.
    int m_nAviRate = 10;     // frames per second
    int m_nAviEndAfter = 3;  // seconds
    BOOL m_bAviCompress = FALSE;  // frames coded without loss (ZMBV) instead of stored whole
    int m_nBaseNumber = 1;
    int m_nDigits = 3;
    char m_szExtension[8] = ".png";
    // Names in UTF-8, in any script. Their limits count characters as the system does (6 for
    // the prefix, MAX_PATH - 1 for a path); each such character takes at most 3 bytes here.
    char m_szPrefix[6 * kUtf8BytesPerUnit + 1] = "";
    char m_szTargetFile[MAX_PATH * kUtf8BytesPerUnit] = "";
    char m_szDirectory[MAX_PATH * kUtf8BytesPerUnit] = "";
    char m_szAviFile[MAX_PATH * kUtf8BytesPerUnit] = "";
    RECT m_rcAvi = {0, 0, 0, 0};
    RECT m_rcCapture = {0, 0, 0, 0};
    BOOL m_bIncludeCursor = FALSE;
    BOOL m_bSaveToFile = FALSE;
    int m_nSaveMode = 0;  // 0 overwrite one file, 1 numbered files
};

struct CaptureState {
    BOOL m_bBusy = FALSE;  // a hot-key action (or the Option dialog's rectangle choice) runs
    CURSORINFO m_cursorInfo = {};  // the cursor when the last hot-key action arrived
    // The number of the last numbered file; an OK of the Option dialog that changes what names
    // the files sets it back to one below the base number, so that numbering starts there again.
    int m_nLastNumber = 0;
};

// Holds CaptureState::m_bBusy set for one scope: however the scope is left, it is cleared.
class CBusyScope
{
public:
    explicit CBusyScope(CaptureState& state) : m_state(state) { m_state.m_bBusy = TRUE; }
    ~CBusyScope() { m_state.m_bBusy = FALSE; }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

private:
    CaptureState& m_state;
};

// The cursor that grabs draw into their pictures: the snapshot of the last hot-key action when
// "Including cursor" is on, otherwise none (null).
const CURSORINFO* CursorToDraw(const CaptureSettings& settings, const CaptureState& state);

// "(left, top) - (right, bottom)".
std::string FormatRect(const RECT& rect);
