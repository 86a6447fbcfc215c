// Many captures in a row, as the program makes them, and what they leave behind: GDI and
// window-manager objects and kernel handles counted before and after, and every capture
// checked to have arrived. Where the system gives no count of GDI objects (Wine), more captures
// than its table of GDI handles holds (16,384) show a leak all the same: the first capture
// that cannot make its bitmap any more is not delivered.
// Kernel handles are counted where the system does; elsewhere the lowest free handle is watched,
// which climbs when handles are left open.
//   bench_soak.exe [captures]   (default 500 where GDI objects are counted, 17,000 where not)
#include "app/StillActions.h"
#include "text/ControlReaders.h"
#include "capture/WindowPicker.h"
#include "support/Files.h"
#include "support/MessageBoxWatcher.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

using namespace testing_support;

namespace {
const int kGdiTable = 16384;  // GDI handles a process may hold under Wine

struct Counts {
    DWORD gdi, user, handles;
    ULONG_PTR lowestFreeHandle;
};

Counts Now()
{
    Counts counts = {::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS),
                     ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS), 0, 0};
    ::GetProcessHandleCount(::GetCurrentProcess(), &counts.handles);
    // A new handle takes the lowest free place of the table.
    HANDLE probe = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    counts.lowestFreeHandle = reinterpret_cast<ULONG_PTR>(probe);
    ::CloseHandle(probe);
    return counts;
}

// The clipboard holds a picture of this size.
bool Delivered(int width, int height)
{
    if (!::OpenClipboard(nullptr))
        return false;
    BITMAP info = {};
    const auto bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    const bool ok = bitmap && ::GetObjectA(bitmap, sizeof info, &info) && info.bmWidth == width && info.bmHeight == height;
    ::CloseClipboard();
    return ok;
}

// Ends the process when a capture takes more than 10 s: where a leak has used up the GDI
// table, the program cannot even draw its message box any more.
class CWatchdog
{
public:
    CWatchdog()
    {
        m_thread = std::thread([this] {
            while (!m_bDone) {
                ::Sleep(500);
                if (::GetTickCount() - m_dwLastProgress > 10000) {
                    std::printf("capture %d has taken more than 10 s: the program is stuck (a leak that used up "
                                "the GDI table ends like this)\n", m_nCapture.load());
                    std::fflush(stdout);
                    ::ExitProcess(3);
                }
            }
        });
    }
    ~CWatchdog()
    {
        m_bDone = true;
        m_thread.join();
    }
    void Progress(int capture)
    {
        m_nCapture = capture;
        m_dwLastProgress = ::GetTickCount();
    }

private:
    std::atomic<bool> m_bDone{false};
    std::atomic<int> m_nCapture{0};
    std::atomic<DWORD> m_dwLastProgress{::GetTickCount()};
    std::thread m_thread;
};

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
}
}  // namespace

int main(int argc, char** argv)
{
    const bool counted = Now().gdi != 0;
    const int captures = argc > 1 ? std::max(1, std::atoi(argv[1])) : counted ? 500 : 17000;

    // A window to capture the text of and to frame, as the picker does.
    HWND list = ::CreateWindowExA(0, "LISTBOX", "", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr, nullptr,
                                  nullptr, nullptr);
    for (const char* item : {"first", "second", "third"})
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    Pump();

    CaptureSettings settings;
    settings.m_rcCapture = RECT{10, 20, 74, 68};  // 64 x 48
    CaptureState state;
    state.m_cursorInfo.cbSize = sizeof(CURSORINFO);
    state.m_cursorInfo.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    state.m_cursorInfo.ptScreenPos = POINT{30, 40};
    settings.m_bIncludeCursor = TRUE;

    int lost = 0;
    Counts before = {};
    std::unique_ptr<CMessageBoxWatcher> watcher(new CMessageBoxWatcher);
    // The first few make what the system keeps once made (the clipboard's window, the sound,
    // the PNG file): counted after those.
    const int warmUp = 5;
    CWatchdog watchdog;
    for (int i = 1 - warmUp; i <= captures; ++i) {
        watchdog.Progress(i);
        if (i == 1)
            before = Now();
        // Every tenth capture goes to a PNG file, every other one to the clipboard; each one
        // also frames the window and takes its text, as the picker and the selector do.
        settings.m_bSaveToFile = i % 10 == 0;
        std::strcpy(settings.m_szTargetFile, CScratch::Windows("soak.png").c_str());
        CopyAutomatically(nullptr, settings, state);
        if (!settings.m_bSaveToFile && !Delivered(64, 48) && i > 0)
            ++lost;
        CWindowPicker::FrameWindow(list);
        CWindowPicker::FrameWindow(list);
        CopyControlText(list, nullptr);
        Pump();
        if (watcher->Wait(0)) {  // a box was shown (and answered): something failed
            std::printf("capture %d: the program said \"%s\"\n", i, watcher->m_text.c_str());
            watcher.reset(new CMessageBoxWatcher);
        }
        if (i > 0 && i % 1000 == 0) {
            std::printf("%d captures, %d not delivered\n", i, lost);
            std::fflush(stdout);
        }
    }
    const Counts after = Now();
    watcher.reset();
    ::DestroyWindow(list);
    std::printf("%d captures (pictures to the clipboard and to PNG files, framing, text): %d not delivered\n", captures,
                lost);
    if (counted)
        std::printf("GDI objects %lu -> %lu, window-manager objects %lu -> %lu\n", before.gdi, after.gdi, before.user,
                    after.user);
    else
        std::printf("GDI objects: not counted by this system; %d captures %s its table of %d GDI handles\n",
                    captures, captures > kGdiTable ? "are more than" : "do not fill", kGdiTable);
    if (before.handles || after.handles)
        std::printf("kernel handles %lu -> %lu\n", before.handles, after.handles);
    else
        std::printf("kernel handles: not counted by this system; the lowest free one 0x%lx -> 0x%lx\n",
                    static_cast<unsigned long>(before.lowestFreeHandle), static_cast<unsigned long>(after.lowestFreeHandle));
    const bool handlesKept = before.handles || after.handles ? after.handles <= before.handles
                                                             : after.lowestFreeHandle <= before.lowestFreeHandle;
    return lost == 0 && (!counted || after.gdi <= before.gdi) && handlesKept ? 0 : 1;
}
