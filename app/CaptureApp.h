// Start and end of the program: one instance per user logon, the profile key, and the hidden
// main dialog as the main window; or, asked by the 32-bit program, the 64-bit companion's
// reader mode for one window, which takes none of these.
#pragma once

#include "framework/App.h"
#include "framework/Handles.h"

#include <string>

class CDialog;

// Holds the named mutex that marks the running instance, from Acquire to destruction.
class CSingleInstance
{
public:
    CSingleInstance() = default;
    virtual ~CSingleInstance() = default;
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when this process now owns the named mutex.
    bool Acquire(const char* name);

private:
    COwnedMutex m_hMutex;
};

// The name that the program's profile and its message boxes go by, for the name of its
// executable: the 64-bit companion is the same program as the 32-bit one, with the same
// settings, so it goes by the 32-bit name.
std::string ApplicationNameFor(const std::string& executableName);

extern const char kInstanceMutexName[];
extern const char kAnotherInstanceMessageName[];
// Shown when the main window cannot be made: the program cannot work without it.
extern const char kNoMainWindowMessage[];

class CCaptureApp : public CWinApp
{
public:
    explicit CCaptureApp(CDialog& mainDlg);
    BOOL InitInstance() override;

private:
    CDialog& m_mainDlg;
    CSingleInstance m_instanceGuard;
};
