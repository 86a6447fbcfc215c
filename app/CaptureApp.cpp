#include "app/CaptureApp.h"

#include "app/MainDlg.h"

const char kInstanceMutexName[] = "{6F1C03B2-5A7E-4c21-9E44-2B7D90C1A358}";
const char kAnotherInstanceMessageName[] = "{6F1C03B3-5A7E-4c21-9E44-2B7D90C1A358}";

// Registered while the static objects are made, before the program's own start.
const UINT WM_ANOTHER_INSTANCE = ::RegisterWindowMessageA(kAnotherInstanceMessageName);
const UINT WM_TASKBARCREATED = ::RegisterWindowMessageA("TaskbarCreated");

namespace {
const char kRegistryKey[] = "Dorvan's Tools";
}  // namespace

CSingleInstance::~CSingleInstance()
{
    if (m_hMutex) {
        ::ReleaseMutex(m_hMutex);
        ::CloseHandle(m_hMutex);
    }
}

bool CSingleInstance::Acquire(const char* name)
{
    m_hMutex = ::CreateMutexA(nullptr, FALSE, name);
    if (!m_hMutex)
        return false;
    // Never waited on: whoever holds it is the running instance.
    return ::WaitForSingleObject(m_hMutex, 0) == WAIT_OBJECT_0;
}

CCaptureApp::CCaptureApp(CMainDlg& mainDlg) : m_mainDlg(mainDlg) {}

BOOL CCaptureApp::InitInstance()
{
    if (!m_instanceGuard.Acquire(kInstanceMutexName)) {
        // Another instance runs (or the mutex could not be made): tell it, and end without a
        // window, a message or a look at the profile.
        ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA(kAnotherInstanceMessageName), 0, 0);
        return FALSE;
    }
    SetRegistryKey(kRegistryKey);
    // The template is not visible: the dialog stays hidden. Its initialisation reads the
    // settings, registers the hot keys and adds the tray icon.
    m_mainDlg.Create();
    m_pMainWnd = &m_mainDlg;
    return TRUE;
}
