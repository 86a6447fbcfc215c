// What a recording achieves: frames per wall-clock second against the nominal rate, CPU time per
// frame and the peak memory of the process, recording a rectangle at the top left of the screen;
// the largest gap between two frames, and the largest where the recording went on in a next file.
// With "parts", every file of the recording is then read back by ffprobe: its frames and size.
//   bench_recording.exe width height rate seconds [parts]
#include "avi/Recorder.h"
#include "support/Files.h"
#include "support/Video.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace testing_support;

namespace {
double CpuSeconds()
{
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

double Milliseconds()
{
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5)
        return std::printf("usage: bench_recording.exe width height rate seconds\n"), 2;
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]), rate = std::atoi(argv[3]),
              seconds = std::atoi(argv[4]);
    CaptureSettings settings;
    settings.m_nAviRate = rate;
    settings.m_nAviEndAfter = seconds;
    settings.m_rcAvi = RECT{0, 0, width, height};
    std::strcpy(settings.m_szAviFile, CScratch::Windows("bench.avi").c_str());
    HWND window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

    CRecorder recorder;
    const double cpuBefore = CpuSeconds();
    const DWORD start = ::GetTickCount();
    recorder.Start(window, true, settings, nullptr);
    const int budget = recorder.FramesLeft();
    DWORD lastFrame = start, slowest = 0, total = 0;
    int frames = 0, parts = 1;
    // Gaps between the ends of two frames' ticks (a frame is written when its tick ends).
    double previousEnd = 0, largestGap = 0, switchGap = 0;
    MSG msg;
    while (recorder.IsRecording() && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == window) {
            const DWORD tick = ::GetTickCount();
            const bool last = recorder.FramesLeft() == 1;
            const int part = recorder.Part();
            recorder.OnTimer();
            const double end = Milliseconds();
            if (frames > 0 && !last) {
                const double gap = end - previousEnd;
                largestGap = gap > largestGap ? gap : largestGap;
                if (recorder.Part() != part) {
                    switchGap = gap > switchGap ? gap : switchGap;
                    parts = recorder.Part();
                }
            }
            previousEnd = end;
            ++frames;
            lastFrame = tick;  // when the frame was taken
            // The last tick also completes the file: not a frame's cost.
            const DWORD cost = last ? 0 : ::GetTickCount() - tick;
            slowest = cost > slowest ? cost : slowest;
            total += cost;
        } else {
            ::DispatchMessageA(&msg);
        }
    }
    // The wall-clock span of the frames: from the start to the last frame, one interval per frame.
    const double elapsed = (lastFrame - start) / 1000.0;
    const DWORD closing = ::GetTickCount() - lastFrame;
    const double cpu = CpuSeconds() - cpuBefore;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    std::printf("  Pixlet32 %4dx%-4d at %2d/s: %d of %d frames, %5.2f frames/s (%5.1f %% of nominal), "
                "CPU %.2f ms/frame, a tick %.1f ms (slowest %lu), closing %lu ms, peak %.0f MB\n",
                width, height, rate, frames, budget, frames / elapsed, 100.0 * frames / elapsed / rate,
                1000.0 * cpu / frames, static_cast<double>(total) / frames, slowest, closing, memory.PeakWorkingSetSize / 1048576.0);
    std::printf("           largest gap between frames %.1f ms (interval %d ms); %d file(s), largest gap at a "
                "switch %.1f ms\n",
                largestGap, 1000 / rate, parts, switchGap);
    if (argc > 5 && std::strcmp(argv[5], "parts") == 0) {
        int total = 0;
        for (int part = 1; part <= parts; ++part) {
            const std::string name = AviPartName("bench.avi", part);
            const CVideoInfo info = ProbeVideo(CScratch::Host(name));
            WIN32_FILE_ATTRIBUTE_DATA attributes = {};
            ::GetFileAttributesExA(CScratch::Windows(name).c_str(), GetFileExInfoStandard, &attributes);
            const unsigned long long size =
                static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32 | attributes.nFileSizeLow;
            std::printf("           %-12s %s, %d frames, %llu bytes (%s 2 GB)\n", name.c_str(),
                        info.read ? "read by ffprobe" : "NOT READ by ffprobe", info.packets, size,
                        size < kMaxAviFileBytes ? "below" : "NOT below");
            total += info.packets;
        }
        std::printf("           %d frames in all, %d expected\n", total, budget);
    }
    ::DestroyWindow(window);
    return 0;
}
