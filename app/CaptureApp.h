// Start and end of the program: one instance per user logon, the profile key, and the hidden
// main dialog as the main window.
#pragma once

#include "framework/App.h"

class CMainDlg;

// Holds the named mutex that marks the running instance, from Acquire to destruction.
class CSingleInstance
{
public:
    CSingleInstance() = default;
    virtual ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when this process now owns the named mutex.
    bool Acquire(const char* name);

private:
    HANDLE m_hMutex = nullptr;
};

extern const char kInstanceMutexName[];
extern const char kAnotherInstanceMessageName[];

class CCaptureApp : public CWinApp
{
public:
    explicit CCaptureApp(CMainDlg& mainDlg);
    BOOL InitInstance() override;

private:
    CMainDlg& m_mainDlg;
    CSingleInstance m_instanceGuard;
};
