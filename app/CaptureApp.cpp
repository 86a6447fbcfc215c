#include "app/CaptureApp.h"

#include "app/MainDlg.h"
#include "text/Companion.h"
#include "text/CompanionProtocol.h"
#include "framework/MessageBox.h"

const char kInstanceMutexName[] = "{6F1C03B2-5A7E-4c21-9E44-2B7D90C1A358}";
const char kAnotherInstanceMessageName[] = "{6F1C03B3-5A7E-4c21-9E44-2B7D90C1A358}";
const char kNoMainWindowMessage[] = "The main window could not be created, so the program cannot run.";

// Registered while the static objects are made, before the program's own start.
const UINT WM_ANOTHER_INSTANCE = ::RegisterWindowMessageA(kAnotherInstanceMessageName);
const UINT WM_TASKBARCREATED = ::RegisterWindowMessageA("TaskbarCreated");

namespace {
const char kRegistryKey[] = "Dorvan's Tools";
const char kProgramName[] = "Pixlet32";
const char kCompanionBaseName[] = "Pixlet64";
}  // namespace

std::string ApplicationNameFor(const std::string& executableName)
{
    return ::lstrcmpiA(executableName.c_str(), kCompanionBaseName) == 0 ? kProgramName : executableName;
}

bool CSingleInstance::Acquire(const char* name)
{
    m_hMutex.Reset(::CreateMutexA(nullptr, FALSE, name));
    if (!m_hMutex)
        return false;
    // Never waited on: whoever holds it is the running instance. One left by an instance that
    // ended without giving it back (it crashed) is this process's now.
    const DWORD taken = ::WaitForSingleObject(m_hMutex, 0);
    return taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED;
}

CCaptureApp::CCaptureApp(CDialog& mainDlg) : m_mainDlg(mainDlg) {}

BOOL CCaptureApp::InitInstance()
{
    const StartRequest request = ParseStartArguments(m_strArguments.c_str());
    if (request.kind == StartRequest::Kind::ReadText) {
        SetExitCode(static_cast<int>(ServeTextReading(request.window, ::GetStdHandle(STD_OUTPUT_HANDLE),
                                                                    ::GetStdHandle(STD_INPUT_HANDLE))));
        return FALSE;
    }
    if (request.kind == StartRequest::Kind::Refused) {
        SetExitCode(static_cast<int>(kReaderExitRefused));
        return FALSE;
    }
    m_strAppName = ApplicationNameFor(m_strAppName);
    if (!m_instanceGuard.Acquire(kInstanceMutexName)) {
        // Another instance runs (or the mutex could not be made): tell it, and end without a
        // window, a message or a look at the profile.
        ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA(kAnotherInstanceMessageName), 0, 0);
        return FALSE;
    }
    SetRegistryKey(kRegistryKey);
    // The template is not visible: the dialog stays hidden. Its initialisation reads the
    // settings, registers the hot keys and adds the tray icon.
    if (!m_mainDlg.Create()) {
        // Without it nobody would hear the hot keys or see a tray icon, and the instance would
        // block every later start: say so and end (the mutex goes with this object).
        AppMessageBox(kNoMainWindowMessage, MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    m_pMainWnd = &m_mainDlg;
    return TRUE;
}
