// What a recording achieves: frames per wall-clock second against the nominal rate, CPU time per
// frame and the peak memory of the process, recording a rectangle at the top left of the screen.
//   bench_recording.exe width height rate seconds
#include "avi/Recorder.h"
#include "support/Files.h"

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
    int frames = 0;
    MSG msg;
    while (recorder.IsRecording() && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == window) {
            const DWORD tick = ::GetTickCount();
            const bool last = recorder.FramesLeft() == 1;
            recorder.OnTimer();
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
    ::DestroyWindow(window);
    return 0;
}
