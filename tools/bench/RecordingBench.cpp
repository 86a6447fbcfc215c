// What a recording achieves, on a screen that a painter changes meanwhile:
//   bench_recording.exe paint desktop|scroll STOPFILE
//       the painter: a desktop-like picture over the whole screen, 20 times a second either a
//       letter typed into a window at its top left (a clock ticking in it each second) and a
//       pointer moved there, or a page scrolled 8 rows (every pixel changes). It paints until
//       STOPFILE exists (at most 15 minutes); STOPFILE.ready appears once it has painted.
//   bench_recording.exe record WIDTH HEIGHT RATE SECONDS [zmbv] [parts]
//       one recording of the rectangle at the top left of the screen, uncompressed or ZMBV, one
//       line: the file's size, frames per wall-clock second against the nominal rate, the largest
//       gap between two frames, CPU per frame and beyond the bare grab of the same rectangle
//       (timed before the recording in this process), the peak memory of the process, and what
//       the recorder said of the frames. With "parts", every file of the recording is then read
//       back by ffprobe: its frames and size, and the largest gap at a switch of file.
#include "BenchSupport.h"
#include "avi/Recorder.h"
#include "framework/Handles.h"
#include "support/Files.h"
#include "support/Video.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace testing_support;
using namespace bench;

namespace {
const UINT kPaintMs = 50;
const DWORD kLongestPaintMs = 15 * 60 * 1000;

RECT Union(RECT a, const RECT& b)
{
    ::UnionRect(&a, &a, &b);
    return a;
}

const char kSentence[] = "Typed into a window while the recording runs, one letter a frame: the quick brown fox "
                         "jumps over the lazy dog. ";

// The scene the painter keeps on the screen, frame after frame.
class CScene
{
public:
    CScene(int width, int height, bool scroll) : m_scene(width, scroll ? 2 * height : height), m_scroll(scroll)
    {
        HDC dc = m_scene.Dc();
        if (scroll) {
            DrawScrollingPage(dc, width, 2 * height);
            return;
        }
        CBitmapHandle desktop(DesktopLikeBitmap(width, height));
        CCreatedDC source(::CreateCompatibleDC(nullptr));
        CSelectObject select(source, desktop);
        ::BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
        // The window whose text changes, and the pointer's path, lie in the smallest rectangle
        // recorded (1024x768 at the top left), so that every recording sees them.
        Fill(dc, RECT{m_window.left, m_window.top, m_window.right, m_window.top + 24}, RGB(0, 84, 227));
        Fill(dc, RECT{m_window.left, m_window.top + 24, m_window.right, m_window.bottom}, RGB(255, 255, 255));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::TextOutA(dc, m_window.left + 8, m_window.top + 5, "Notes - typing", 14);
        ::SetBkMode(dc, OPAQUE);
    }

    // Paints frame n onto the window: what changed since frame n - 1.
    void Paint(HDC window, int frame)
    {
        HDC dc = m_scene.Dc();
        if (m_scroll) {
            const int offset = frame * 8 % (m_scene.Height() / 2);
            ::BitBlt(window, 0, 0, m_scene.Width(), m_scene.Height() / 2, dc, 0, offset, SRCCOPY);
            return;
        }
        const int perLine = 80, line = frame / perLine % 20, typed = frame % perLine + 1;
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::SetTextColor(dc, RGB(0, 0, 0));
        const RECT text = {m_window.left + 8, m_window.top + 32 + 17 * line, m_window.right - 8,
                           m_window.top + 32 + 17 * line + 16};
        ::ExtTextOutA(dc, text.left, text.top, ETO_OPAQUE | ETO_CLIPPED, &text, kSentence,
                      static_cast<UINT>(std::min<int>(typed, sizeof kSentence - 1)), nullptr);
        RECT changed = text;
        if (frame % 20 == 0) {
            char clock[16];
            const int n = std::snprintf(clock, sizeof clock, "10:%02d:%02d", frame / 1200 % 60, frame / 20 % 60);
            const RECT face = {m_window.right - 80, m_window.top + 4, m_window.right - 8, m_window.top + 20};
            ::SetBkColor(dc, RGB(0, 84, 227));
            ::SetTextColor(dc, RGB(255, 255, 255));
            ::ExtTextOutA(dc, face.left, face.top, ETO_OPAQUE, &face, clock, static_cast<UINT>(n), nullptr);
            changed = Union(changed, face);
        }
        const POINT at = {200 + (frame * 7) % 700, 150 + (frame * 3) % 500};
        const RECT pointer = {at.x, at.y, at.x + 32, at.y + 32};
        changed = Union(Union(changed, m_pointer), pointer);
        m_pointer = pointer;
        // Composed off the screen, then shown at once: no frame catches the pointer half drawn.
        CCanvas out(changed.right - changed.left, changed.bottom - changed.top);
        ::BitBlt(out.Dc(), 0, 0, out.Width(), out.Height(), dc, changed.left, changed.top, SRCCOPY);
        ::DrawIconEx(out.Dc(), at.x - changed.left, at.y - changed.top, ::LoadCursorA(nullptr, IDC_ARROW), 0, 0, 0,
                     nullptr, DI_NORMAL);
        ::BitBlt(window, changed.left, changed.top, out.Width(), out.Height(), out.Dc(), 0, 0, SRCCOPY);
    }
    void PaintWhole(HDC window)
    {
        ::BitBlt(window, 0, 0, m_scene.Width(), m_scroll ? m_scene.Height() / 2 : m_scene.Height(), m_scene.Dc(), 0,
                 0, SRCCOPY);
    }

private:

    CCanvas m_scene;
    bool m_scroll;
    const RECT m_window = {96, 96, 96 + 720, 96 + 32 + 17 * 20 + 8};
    RECT m_pointer = {0, 0, 0, 0};
};

int Paint(const char* mode, const std::string& stopFile)
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    CScene scene(width, height, std::strcmp(mode, "scroll") == 0);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "PixletBenchPainter";
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, width,
                                    height, nullptr, nullptr, wc.hInstance, nullptr);
    ::ShowWindow(window, SW_SHOW);
    {
        CClientDC dc(window);
        scene.PaintWhole(dc);
    }
    ::ValidateRect(window, nullptr);
    WriteBytes(stopFile + ".ready", {});
    ::SetTimer(window, 1, kPaintMs, nullptr);
    const DWORD start = ::GetTickCount();
    int frame = 0;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == window) {
            if (FileExists(stopFile) || ::GetTickCount() - start > kLongestPaintMs)
                break;
            CClientDC dc(window);
            scene.Paint(dc, ++frame);
            continue;
        }
        if (msg.message == WM_PAINT && msg.hwnd == window) {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(window, &ps);
            scene.PaintWhole(dc);
            ::EndPaint(window, &ps);
            continue;
        }
        ::DispatchMessageA(&msg);
    }
    ::DestroyWindow(window);
    return 0;
}

double PeakMegabytes()
{
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    return memory.PeakWorkingSetSize / 1048576.0;
}

std::string Said(const Outcome& outcome)
{
    switch (outcome.kind) {
    case Outcome::Kind::Done:
        return "nothing (done)";
    case Outcome::Kind::Nothing:
        return "nothing";
    case Outcome::Kind::FileFailed:
        return "FILE FAILED";
    default:
        return "\"" + outcome.message + "\"";
    }
}

int Record(int width, int height, int rate, int seconds, bool compress, bool probeParts)
{
    CaptureSettings settings;
    settings.m_nAviRate = rate;
    settings.m_nAviEndAfter = seconds;
    settings.m_bAviCompress = compress ? TRUE : FALSE;
    settings.m_rcAvi = RECT{0, 0, width, height};
    std::strcpy(settings.m_szAviFile, CScratch::Windows("bench.avi").c_str());
    HWND window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

    // The bare grab of the same rectangle, in the same process on the same screen.
    double bareCpu = 0;
    {
        CBareGrab bare(settings.m_rcAvi);
        bare.Grab();
        const int grabs = 20;
        const double before = CpuNow();
        for (int i = 0; i < grabs; ++i)
            bare.Grab();
        bareCpu = (CpuNow() - before) / grabs;
    }

    CRecorder recorder;
    const double cpuBefore = CpuNow();
    Outcome ended = recorder.Start(window, true, settings, nullptr);
    const int budget = recorder.FramesLeft();
    int frames = 0, parts = 1;
    // Frames are timed at the end of their ticks: the frame is taken then.
    double first = 0, previous = 0, largestGap = 0, switchGap = 0;
    MSG msg;
    while (recorder.IsRecording() && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message != WM_TIMER || msg.hwnd != window) {
            ::DispatchMessageA(&msg);
            continue;
        }
        const bool last = recorder.FramesLeft() == 1;
        const int part = recorder.Part();
        const Outcome tick = recorder.OnTimer();
        if (tick.kind != Outcome::Kind::Nothing)
            ended = tick;
        // The last tick also completes the file: its end is not when its frame was taken.
        const double end = Now();
        if (frames == 0)
            first = end;
        else if (!last) {
            largestGap = std::max(largestGap, end - previous);
            if (recorder.Part() != part) {
                switchGap = std::max(switchGap, end - previous);
                parts = recorder.Part();
            }
        }
        if (!last)
            previous = end;
        ++frames;
    }
    if (recorder.IsRecording())
        ended = recorder.Stop();
    const double cpu = CpuNow() - cpuBefore;
    // From the first frame to the last, one interval apart at the nominal rate.
    const double held = frames > 2 ? (frames - 2) * 1000.0 / (previous - first) : 0;
    // The writer thread goes on in next files after the ticks: the parts are those left.
    while (FileExists(CScratch::Windows(AviPartName("bench.avi", parts + 1))))
        ++parts;
    long long size = 0;
    for (int part = 1; part <= parts; ++part)
        size += FileSize(CScratch::Windows(AviPartName("bench.avi", part)));
    const std::string codec = ProbeVideo(CScratch::Host("bench.avi")).codec;
    std::printf("  %-20s %9.1f MB %6.2f/s %5.1f %% %7.0f ms %6.2f ms %5.2f ms %6.0f MB  %d frames of %d (%s); the "
                "recorder said %s\n",
                compress ? "Pixlet32 ZMBV" : "Pixlet32 uncompressed", size / 1048576.0, held, 100.0 * held / rate,
                largestGap, cpu / std::max(frames, 1), cpu / std::max(frames, 1) - bareCpu, PeakMegabytes(), frames,
                budget, codec.empty() ? "not read by ffprobe" : codec.c_str(), Said(ended).c_str());
    if (probeParts) {
        std::printf("           %d file(s), largest gap at a switch %.1f ms\n", parts, switchGap);
        int total = 0;
        for (int part = 1; part <= parts; ++part) {
            const std::string name = AviPartName("bench.avi", part);
            const CVideoInfo info = ProbeVideo(CScratch::Host(name));
            const long long bytes = FileSize(CScratch::Windows(name));
            std::printf("           %-12s %s, %d frames, %lld bytes (%s 2 GB)\n", name.c_str(),
                        info.read ? "read by ffprobe" : "NOT READ by ffprobe", info.packets, bytes,
                        static_cast<unsigned long long>(bytes) < kMaxAviFileBytes ? "below" : "NOT below");
            total += info.packets;
        }
        std::printf("           %d frames in all, %d expected\n", total, budget);
    }
    std::fflush(stdout);
    ::DestroyWindow(window);
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "paint") == 0)
        return Paint(argv[2], argv[3]);
    if (argc >= 6 && std::strcmp(argv[1], "record") == 0) {
        bool compress = false, parts = false;
        for (int i = 6; i < argc; ++i) {
            compress |= std::strcmp(argv[i], "zmbv") == 0;
            parts |= std::strcmp(argv[i], "parts") == 0;
        }
        return Record(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), compress, parts);
    }
    std::printf("usage: bench_recording.exe paint desktop|scroll STOPFILE\n"
                "       bench_recording.exe record WIDTH HEIGHT RATE SECONDS [zmbv] [parts]\n");
    return 2;
}
