// Start and end of the program: one instance per user logon, the profile key, and the hidden
// main dialog as the main window.
#pragma once

#include "framework/App.h"
#include "framework/Handles.h"

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
