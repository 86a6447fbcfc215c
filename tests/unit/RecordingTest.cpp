// Recording a rectangle of the screen into an AVI file, checked by an independent reader
// (ffprobe, and the frames decoded by ffmpeg) against what a window of this test showed.
#include "app/MainDlg.h"
#include "app/Report.h"
#include "app/TrayIcon.h"
#include "avi/AviWriter.h"
#include "avi/Recorder.h"
#include "avi/RecordingFiles.h"
#include "avi/ZmbvEncoder.h"
#include "capture/ScreenGrab.h"
#include "framework/Handles.h"
#include "framework/Paths.h"
#include "res/resource.h"
#include "support/Files.h"
#include "support/MessageBoxWatcher.h"
#include "support/Process.h"
#include "support/Screen.h"
#include "support/SoundCapture.h"
#include "support/Video.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>

using namespace testing_support;

namespace {
const COLORREF kFirst = RGB(200, 0, 0), kSecond = RGB(0, 160, 0), kThird = RGB(0, 0, 220);

// A window whose timer ticks reach the recorder, as the main window's do.
class CTimerWindow
{
public:
    CTimerWindow()
        : m_hWnd(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr))
    {
    }
    ~CTimerWindow() { ::DestroyWindow(m_hWnd); }
    operator HWND() const { return m_hWnd; }

    // Dispatches messages, the ticks to the recorder, until it has stopped or the time is up.
    bool RunUntilStopped(CRecorder& recorder, DWORD timeoutMs)
    {
        const DWORD start = ::GetTickCount();
        while (recorder.IsRecording() && ::GetTickCount() - start < timeoutMs)
            Pump(recorder, 5);
        return !recorder.IsRecording();
    }
    void Pump(CRecorder& recorder, DWORD forMs)
    {
        const DWORD start = ::GetTickCount();
        MSG msg;
        do {
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_TIMER && msg.hwnd == m_hWnd && msg.wParam == IDT_RECORD)
                    Report(recorder.OnTimer());
                else
                    ::DispatchMessageA(&msg);
            }
            ::Sleep(1);
        } while (::GetTickCount() - start < forMs);
    }

private:
    HWND m_hWnd;
};

class Recording : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearSoundCapture();
        m_settings.m_nAviRate = 10;
        m_settings.m_nAviEndAfter = 3;
        m_settings.m_rcAvi = RECT{400, 300, 464, 348};  // 64 x 48
        std::strcpy(m_settings.m_szAviFile, CScratch::Windows("rec.avi").c_str());
        ::DeleteFileA(m_settings.m_szAviFile);
    }
    // A begin key, as the main window handles it: a recording running ends first, heard.
    void Begin(CRecorder& recorder, bool automatic, const CaptureSettings& settings)
    {
        Report(recorder.Stop());
        Report(recorder.Start(m_window, automatic, settings, nullptr));
    }
    void Begin(CRecorder& recorder, bool automatic) { Begin(recorder, automatic, m_settings); }
    static CVideoInfo Probe() { return ProbeVideo(CScratch::Host("rec.avi")); }
    static bool ShutterPlayed() { return CapturedSound() == ShutterSamples(); }

    CaptureSettings m_settings;
    CTimerWindow m_window;
};
}  // namespace

TEST(RecordingArithmetic, IntervalsBudgetsAndTheNextTick)
{
    EXPECT_EQ(FrameInterval(10), 100);
    EXPECT_EQ(FrameInterval(7), 142);
    EXPECT_EQ(FrameInterval(20), 50);
    EXPECT_EQ(FrameBudget(true, 10, 3), 30);
    EXPECT_EQ(FrameBudget(false, 10, 3), 300);
    EXPECT_EQ(ZmbvKeyInterval(20), 200) << "a key frame every 10 seconds";
    // The wait is what is left until the next frame is due, whatever the tick cost.
    EXPECT_EQ(NextTickDelay(1100, 1037), 63u);
    EXPECT_EQ(NextTickDelay(1100, 1100), 1u) << "never a wait of 0";
    EXPECT_EQ(NextTickDelay(1100, 1350), 1u) << "behind: the next frame at once";
    EXPECT_EQ(NextTickDelay(0x54u, 0xFFFFFFFAu), 90u) << "across the tick count's wrap";
    // Files end before 2 GB: frame data, a chunk header and an index entry a frame, room for
    // the headers; exactly at the limit a frame still fits, a byte more goes to the next file.
    EXPECT_TRUE(FrameFitsFile(0, 8294400, 0));
    EXPECT_FALSE(FrameFitsFile(0x80000000ull - 8294400, 8294400, 200));
    EXPECT_TRUE(FrameFitsFile(0x7F000000ull, 8294400, 200));
    const unsigned long long room = 64 * 1024, frame = 12288;
    EXPECT_TRUE(FrameFitsFile(3 * frame, frame, 3, room + 4 * (frame + 24)));
    EXPECT_FALSE(FrameFitsFile(3 * frame, frame, 3, room + 4 * (frame + 24) - 1));
    // The parts of a recording: the first file, then numbered names beside it.
    const struct {
        const char *first, *part;
        int number;
    } names[] = {{"C:\\v\\clip.avi", "C:\\v\\clip.avi", 1},    {"C:\\v\\clip.avi", "C:\\v\\clip-2.avi", 2},
                 {"C:\\v\\clip.AVI", "C:\\v\\clip-13.AVI", 13}, {"C:\\v.d\\clip", "C:\\v.d\\clip-3", 3},
                 {"C:\\v\\clip.avi.txt", "C:\\v\\clip.avi.txt-2", 2}, {"a.avi", "a-2.avi", 2}};
    for (const auto& name : names)
        EXPECT_EQ(AviPartName(name.first, name.number), name.part);
    // The library buffers its writes and reports them done; the system's error tells the truth.
    EXPECT_TRUE(IsLostWrite(ERROR_DISK_FULL));
    EXPECT_FALSE(IsLostWrite(ERROR_ALREADY_EXISTS)) << "left behind by opening the file";
    EXPECT_TRUE(AcceptsVideoForWindowsVersion(0x010A0000));
    EXPECT_FALSE(AcceptsVideoForWindowsVersion(0x01090000));
    EXPECT_TRUE(AcceptsVideoForWindowsVersion(QueryVideoForWindowsVersion()));
}

TEST_F(Recording, TheWriterStoresKeyFramesOfOneSizeAndSkipsOthers)
{
    {
        CAviWriter writer(m_settings.m_szAviFile, -1, -1, 10);
        ASSERT_TRUE(writer.IsEnabled());
        const RECT big = {0, 0, 100, 50}, small = {0, 0, 60, 50};
        CBitmapHandle frame = GrabScreenRect(big).bitmap, other = GrabScreenRect(small).bitmap;
        EXPECT_TRUE(writer.WriteFrame(frame));
        EXPECT_FALSE(writer.WriteFrame(other)) << "a frame of another size was written";
        EXPECT_TRUE(writer.IsEnabled());
        EXPECT_TRUE(writer.WriteFrame(frame));
        EXPECT_TRUE(writer.WriteFrame(frame));
        EXPECT_EQ(writer.Frames(), 3);
    }
    // The stream's header and format as the file holds them: the frame's rectangle, a buffer of
    // one frame, no quality asked.
    const std::vector<BYTE> file = ReadBytes(m_settings.m_szAviFile);
    const auto field = [&](const char* chunk, size_t at, size_t size) {
        const size_t start = static_cast<size_t>(std::search(file.begin(), file.end(), chunk, chunk + 4) - file.begin());
        DWORD value = 0;
        if (start + 8 + at + size <= file.size())
            std::memcpy(&value, &file[start + 8 + at], size);
        return value;
    };
    const DWORD bitCount = field("strf", 14, 2), frameBytes = field("strf", 20, 4);
    EXPECT_EQ(frameBytes, (100 * bitCount + 31) / 32 * 4 * 50);
    EXPECT_EQ(field("strh", 36, 4), frameBytes) << "the suggested buffer is one frame";
    EXPECT_EQ(field("strh", 40, 4), 0xFFFFFFFFu) << "the quality is the default";
    EXPECT_EQ(field("strh", 48, 4), 0u) << "the frame's left and top";
    EXPECT_EQ(field("strh", 52, 2), 100u);
    EXPECT_EQ(field("strh", 54, 2), 50u) << "the frame's right and bottom";

    const CVideoInfo info = Probe();
    ASSERT_TRUE(info.read) << "ffprobe cannot read the file";
    EXPECT_EQ(info.codec, "rawvideo");
    EXPECT_EQ(info.width, 100);
    EXPECT_EQ(info.height, 50);
    EXPECT_EQ(info.frameRate, "10/1");
    EXPECT_EQ(info.packets, 3);
    EXPECT_EQ(info.keyPackets, 3);

    // A size given beforehand refuses a first frame of another one, and stays enabled.
    CAviWriter sized(CScratch::Windows("sized.avi"), 200, 50, 10);
    const RECT narrow = {0, 0, 100, 50};
    CBitmapHandle frame = GrabScreenRect(narrow).bitmap;
    EXPECT_FALSE(sized.WriteFrame(frame));
    EXPECT_TRUE(sized.IsEnabled());

    // A file that cannot be made disables the writer for good, saying why.
    const std::string missing = CScratch::Windows("missing\\rec.avi");
    CAviWriter unwritable(missing, -1, -1, 10);
    EXPECT_FALSE(unwritable.WriteFrame(frame));
    EXPECT_FALSE(unwritable.IsEnabled());
    EXPECT_EQ(unwritable.Failure().kind, Outcome::Kind::FileFailed);
    EXPECT_EQ(unwritable.Failure().file.m_strFileName, missing);

    // Too old a Video for Windows: disabled from the start.
    CAviWriter old(CScratch::Windows("old.avi"), -1, -1, 10, 0x01090000);
    EXPECT_FALSE(old.IsEnabled());
    EXPECT_FALSE(old.WriteFrame(frame));
    EXPECT_FALSE(FileExists(CScratch::Windows("old.avi")));

    // A file that cannot be completed (made immutable on the host once its frame is in) is not
    // taken for done: the system's cause is told.
    CAviWriter locked(CScratch::Windows("locked.avi"), -1, -1, 10);
    ASSERT_TRUE(locked.WriteFrame(frame));
    if (RunOnHost("chattr +i '" + CScratch::Host("locked.avi") + "'") != 0)
        GTEST_SKIP() << "the scratch folder's file system makes no file immutable (chattr +i)";
    const bool closed = locked.Close();
    RunOnHost("chattr -i '" + CScratch::Host("locked.avi") + "'");
    EXPECT_FALSE(closed);
    EXPECT_EQ(locked.Failure().file.GetErrorMessage(), "Access to " + CScratch::Windows("locked.avi") + " was denied.");
}

TEST_F(Recording, AnAutomaticRecordingHoldsItsRateAndShowsTheScreenAsItChanged)
{
    CPaintedWindow window(m_settings.m_rcAvi, CPaintedWindow::Solid, kFirst);
    CRecorder recorder;
    const DWORD start = ::GetTickCount();
    Begin(recorder, true);
    ASSERT_TRUE(recorder.IsRecording());
    // The colour changes 1.05 s and 2.05 s after the start.
    std::thread painter([&] {
        ::Sleep(1050 - (::GetTickCount() - start));
        window.SetColour(kSecond);
        ::Sleep(2050 - (::GetTickCount() - start));
        window.SetColour(kThird);
    });
    EXPECT_TRUE(m_window.RunUntilStopped(recorder, 10000));
    const DWORD took = ::GetTickCount() - start;
    painter.join();
    EXPECT_GE(took, 2900u);
    EXPECT_LE(took, 3600u) << "30 frames at 10 a second took " << took << " ms";
    EXPECT_TRUE(ShutterPlayed()) << CapturedSound().size() << " vs shutter " << ShutterSamples().size();

    const CVideoInfo info = Probe();
    ASSERT_TRUE(info.read);
    EXPECT_EQ(info.packets, 30);
    EXPECT_EQ(info.keyPackets, 30);
    EXPECT_EQ(info.frameRate, "10/1");
    EXPECT_EQ(info.width, 64);
    EXPECT_EQ(info.height, 48);
    // Frame i is taken (i + 1) tenths of a second after the start: the second colour first shows
    // in frame 10, the third in frame 20, give or take one.
    const std::vector<CPixels> frames = DecodeFrames(CScratch::Host("rec.avi"), 64, 48);
    ASSERT_EQ(frames.size(), 30u);
    int firstSecond = -1, firstThird = -1;
    COLORREF last = kFirst;
    for (int i = 0; i < 30; ++i) {
        const COLORREF colour = frames[static_cast<size_t>(i)].At(32, 24);
        ASSERT_TRUE(colour == kFirst || colour == kSecond || colour == kThird) << "frame " << i << ": " << std::hex << colour;
        ASSERT_TRUE(colour == last || (last == kFirst && colour == kSecond) || (last == kSecond && colour == kThird))
            << "the colours of frame " << i << " are out of order";
        if (colour == kSecond && firstSecond < 0)
            firstSecond = i;
        if (colour == kThird && firstThird < 0)
            firstThird = i;
        last = colour;
    }
    EXPECT_NEAR(firstSecond, 10, 1);
    EXPECT_NEAR(firstThird, 20, 1);
}

TEST_F(Recording, NothingRunsWithoutSettingsAndAnEndKeyWhileIdleIsSilent)
{
    CRecorder recorder;
    Report(recorder.Stop());
    CaptureSettings none = m_settings;
    none.m_rcAvi = RECT{0, 0, 0, 0};
    Begin(recorder, true, none);
    EXPECT_FALSE(recorder.IsRecording());
    none = m_settings;
    none.m_szAviFile[0] = '\0';
    Begin(recorder, true, none);
    EXPECT_FALSE(recorder.IsRecording());
    none = m_settings;
    none.m_nAviRate = 0;
    Begin(recorder, true, none);
    EXPECT_FALSE(recorder.IsRecording());
    // Ended before its first frame: no file, nothing to hear.
    Begin(recorder, false);
    EXPECT_TRUE(recorder.IsRecording());
    Report(recorder.Stop());
    m_window.Pump(recorder, 300);
    EXPECT_TRUE(CapturedSound().empty()) << CapturedSound().size() << " vs shutter " << ShutterSamples().size();
    EXPECT_FALSE(FileExists(m_settings.m_szAviFile));

    // A writer refused at once ends the recording at once, saying why, with no shutter.
    CRecorder tooOld(0x01090000);
    CMessageBoxWatcher watcher;
    Begin(tooOld, true);
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, "Recording needs Video for Windows 1.10 or later.");
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
    EXPECT_FALSE(tooOld.IsRecording());
    EXPECT_TRUE(CapturedSound().empty());
}

TEST_F(Recording, ABeginKeyDuringARecordingStartsItAgainAndAFullDiskIsTold)
{
    CRecorder recorder;
    Begin(recorder, true);
    m_window.Pump(recorder, 1000);
    Begin(recorder, false);
    EXPECT_TRUE(ShutterPlayed()) << "the first recording ended without the shutter";
    ASSERT_TRUE(recorder.IsRecording());
    EXPECT_EQ(recorder.FramesLeft(), 300) << "the second is a manual recording";
    m_window.Pump(recorder, 500);
    Report(recorder.Stop());
    const CVideoInfo info = Probe();
    ASSERT_TRUE(info.read) << "the file is not complete";
    EXPECT_GE(info.packets, 3);
    EXPECT_LE(info.packets, 6) << "the second recording did not start its file afresh";

    // A device that takes no byte: the recording ends at its first frame, saying so.
    ASSERT_EQ(RunOnHost("ln -sf /dev/full '" + CScratch::Host("full.avi") + "'"), 0);
    std::strcpy(m_settings.m_szAviFile, CScratch::Windows("full.avi").c_str());
    ClearSoundCapture();
    CMessageBoxWatcher watcher;
    Begin(recorder, true);
    EXPECT_TRUE(m_window.RunUntilStopped(recorder, 5000));
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, "Disk full while accessing " + std::string(m_settings.m_szAviFile) + ".");
    EXPECT_TRUE(CapturedSound().empty()) << "the shutter sounded for a recording that was not written";
}

TEST_F(Recording, ALostScreenIsToldAndAFullFileGoesOnInTheNext)
{
    // A rectangle no longer on the screen: the first grab fails and the recording ends, saying
    // so; no frame, no file, no shutter.
    CaptureSettings gone = m_settings;
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    gone.m_rcAvi = RECT{width + 10, 0, width + 74, 48};
    CRecorder recorder;
    CMessageBoxWatcher watcher;
    Begin(recorder, true, gone);
    EXPECT_TRUE(m_window.RunUntilStopped(recorder, 5000));
    ASSERT_TRUE(watcher.Wait());
    EXPECT_EQ(watcher.m_text, kScreenNotCopied);
    EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
    EXPECT_TRUE(CapturedSound().empty());
    EXPECT_FALSE(FileExists(m_settings.m_szAviFile));

    // Room for four frames of 64 x 48 a file: 30 frames go into eight files, each complete and
    // within the limit, none lost or doubled; one shutter at the end.
    const unsigned long long frameBytes = 64 * 48 * 4, limit = 64 * 1024 + 4 * (frameBytes + 24);
    for (int part = 2; part <= 9; ++part)
        ::DeleteFileA(AviPartName(m_settings.m_szAviFile, part).c_str());
    CRecorder small(QueryVideoForWindowsVersion(), limit);
    Begin(small, true);
    EXPECT_TRUE(m_window.RunUntilStopped(small, 5000));
    EXPECT_TRUE(ShutterPlayed());
    int frames = 0;
    for (int part = 1; part <= 8; ++part) {
        const std::string file = AviPartName(m_settings.m_szAviFile, part);
        const CVideoInfo info = ProbeVideo(CScratch::Host(AviPartName("rec.avi", part)));
        EXPECT_TRUE(info.read) << file << " is not complete";
        EXPECT_EQ(info.packets, part < 8 ? 4 : 2) << file;
        EXPECT_LE(ReadBytes(file).size(), limit) << file;
        frames += info.packets;
    }
    EXPECT_EQ(frames, 30);
    EXPECT_FALSE(FileExists(AviPartName(m_settings.m_szAviFile, 9)));

    // A folder or a file of the user's in a part's place is not written over: the recording
    // ends there with the stop box; the parts written stay complete, and those that the longer
    // recording before left are gone.
    const std::string blocked = AviPartName(m_settings.m_szAviFile, 2);
    for (const bool folder : {true, false}) {
        ClearSoundCapture();
        ::DeleteFileA(blocked.c_str());
        ::RemoveDirectoryA(blocked.c_str());
        ASSERT_TRUE(folder ? ::CreateDirectoryA(blocked.c_str(), nullptr) != FALSE : WriteBytes(blocked, {'m', 'e'}));
        CMessageBoxWatcher refused;
        Begin(small, true);
        EXPECT_TRUE(m_window.RunUntilStopped(small, 5000));
        ASSERT_TRUE(refused.Wait());
        EXPECT_EQ(refused.m_text, blocked + " is not a part of this recording, so it was not written over; the "
                                           "recording ended with " + m_settings.m_szAviFile + ".");
        EXPECT_EQ(refused.m_hIcon, ::LoadIconA(nullptr, IDI_HAND));
        EXPECT_TRUE(CapturedSound().empty());
        EXPECT_EQ(Probe().packets, 4);
        for (int part = 3; part <= 8; ++part)
            EXPECT_FALSE(FileExists(AviPartName(m_settings.m_szAviFile, part))) << part << " is left";
    }
    EXPECT_EQ(ReadBytes(blocked), std::vector<BYTE>({'m', 'e'}));
    ::DeleteFileA(blocked.c_str());

    // A part whose completion outlasts the wait for it (its thread cannot start while this one
    // holds the loader lock; no other thread may be needed meanwhile) ends the recording, saying
    // so; the recorder still waits for it when it goes, and the file is complete.
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    const auto lockLoader = reinterpret_cast<LONG(WINAPI*)(ULONG, ULONG*, ULONG_PTR*)>(
        reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "LdrLockLoaderLock")));
    const auto unlockLoader = reinterpret_cast<LONG(WINAPI*)(ULONG, ULONG_PTR)>(
        reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "LdrUnlockLoaderLock")));
    {
        CRecorder hurried(QueryVideoForWindowsVersion(), limit, 200);
        ULONG_PTR cookie = 0;
        ASSERT_EQ(lockLoader(0, nullptr, &cookie), 0);
        Outcome ended = hurried.Start(m_window, true, m_settings, nullptr);
        for (MSG msg; hurried.IsRecording() && ::GetMessageA(&msg, m_window, 0, 0) > 0;)
            if (msg.message == WM_TIMER)
                ended = hurried.OnTimer();
        unlockLoader(0, cookie);
        EXPECT_EQ(ended.message, std::string(m_settings.m_szAviFile) + " is still being completed. The recording ended "
                                "without waiting for it; the program completes it meanwhile and waits for it before it exits.");
    }
    EXPECT_EQ(Probe().packets, 4);

    // A part whose name would not fit a path ends the recording the same way. A first file of
    // 128 characters or more is opened by its short name.
    CaptureSettings longName = m_settings;
    const std::string longFile = std::string(254 - CScratch::WindowsDir().size(), 'n') + ".avi";
    const std::string first = CScratch::Windows(longFile);
    std::strcpy(longName.m_szAviFile, first.c_str());
    CMessageBoxWatcher tooLong;
    Begin(small, true, longName);
    EXPECT_TRUE(m_window.RunUntilStopped(small, 5000));
    ASSERT_TRUE(tooLong.Wait());
    EXPECT_EQ(tooLong.m_text, "The name of the recording's next part would be longer than a path may be (259 "
                              "characters), so the recording ended with " + first + ".");
    EXPECT_EQ(ProbeVideo(CScratch::Host(longFile)).packets, 4);
    EXPECT_LT(NameForAnsiServices(first).size(), 128u);
}

TEST_F(Recording, AManualRecordingEndsAfterThirtySecondsOfFrames)
{
    m_settings.m_rcAvi = RECT{0, 0, 16, 16};
    m_settings.m_bAviCompress = TRUE;  // and a compressed one has a key frame every 10 seconds
    CRecorder recorder;
    Begin(recorder, false);
    EXPECT_EQ(recorder.FramesLeft(), 300);
    EXPECT_TRUE(m_window.RunUntilStopped(recorder, 45000));
    EXPECT_EQ(Probe().packets, 300);
    EXPECT_EQ(Probe().keyPackets, 3);
}

TEST_F(Recording, AWriterFarBehindRepeatsFramesSayingSoAndEachCompressedPartStartsWithAKeyFrame)
{
    CPaintedWindow window(m_settings.m_rcAvi, CPaintedWindow::Solid, kFirst);
    for (const BOOL compress : {FALSE, TRUE}) {
        SCOPED_TRACE(compress ? "compressed" : "uncompressed");
        m_settings.m_bAviCompress = compress;
        // Files of four uncompressed frames, or of a few compressed ones beside the most one takes.
        const unsigned long long most = CZmbvEncoder(64, 48, 1, false).Format().biSizeImage;
        const unsigned long long limit = 64 * 1024 + (compress ? most + 400 : 4 * (64 * 48 * 4 + 24));
        for (int part = 2; part <= 9; ++part)
            ::DeleteFileA(AviPartName(m_settings.m_szAviFile, part).c_str());
        ClearSoundCapture();
        CRecorder behind(QueryVideoForWindowsVersion(), limit);
        // Held until the end: four frames fill the buffers, and the 26 ticks after them repeat the fourth.
        behind.m_bHoldWriter = true;
        CMessageBoxWatcher watcher;
        Begin(behind, true);
        EXPECT_TRUE(m_window.RunUntilStopped(behind, 10000));
        ASSERT_TRUE(watcher.Wait());
        EXPECT_EQ(watcher.m_text, "26 of the 30 frames of the recording repeat the frame before them: the screen "
                                  "changed faster than the frames could be stored. A lower AVI rate or a smaller "
                                  "rectangle avoids that.");
        EXPECT_EQ(watcher.m_hIcon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
        EXPECT_TRUE(ShutterPlayed());
        int frames = 0, part = 1;
        for (; FileExists(AviPartName(m_settings.m_szAviFile, part)); ++part) {
            const std::string file = CScratch::Host(AviPartName("rec.avi", part));
            const CVideoInfo info = ProbeVideo(file);
            EXPECT_EQ(info.codec, compress ? "zmbv" : "rawvideo") << part;
            EXPECT_EQ(info.keyPackets, compress ? 1 : info.packets) << "part " << part;
            const std::vector<CPixels> decoded = DecodeFrames(file, 64, 48);
            EXPECT_EQ(static_cast<int>(decoded.size()), info.packets) << "part " << part << " does not decode alone";
            for (const CPixels& frame : decoded)
                EXPECT_TRUE(AllOf(frame, kFirst)) << "part " << part;
            frames += info.packets;
        }
        EXPECT_EQ(frames, 30);
        EXPECT_GT(part, 3) << "the recording was not split";
    }
}

TEST_F(Recording, ATrayClickAndExitEndARecordingWithItsFileComplete)
{
    CMainDlg main;
    ASSERT_TRUE(main.Create());
    main.m_settings = m_settings;
    for (const UINT click : {UINT(WM_LBUTTONDOWN), UINT(WM_RBUTTONUP), 0u}) {
        ClearSoundCapture();
        ::DeleteFileA(m_settings.m_szAviFile);
        main.StartRecording(false);
        // A few frames, then the click (or Exit).
        for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 600;) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&msg);
            ::Sleep(5);
        }
        if (click == WM_RBUTTONUP) {
            // The menu that the click opens is closed again from another thread.
            std::thread closer([] {
                WaitUntil(
                    [] {
                        for (HWND menu : TopLevelWindows(::GetCurrentProcessId(), "#32768"))
                            if (::IsWindowVisible(menu))
                                return ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0) != FALSE;
                        return false;
                    },
                    5000);
            });
            ::SendMessageA(main.m_hWnd, WM_TRAYICON, IDR_TRAY_MENU, click);
            closer.join();
        } else if (click) {
            ::SendMessageA(main.m_hWnd, WM_TRAYICON, IDR_TRAY_MENU, click);
            EXPECT_FALSE(::IsWindowVisible(main.m_hWnd)) << "the click that ended the recording opened the picker";
        } else {
            ::SendMessageA(main.m_hWnd, WM_COMMAND, ID_EXIT, 0);
            EXPECT_FALSE(::IsWindow(main.m_hWnd));
        }
        EXPECT_TRUE(ShutterPlayed()) << "click " << click;
        const CVideoInfo info = Probe();
        EXPECT_TRUE(info.read) << "click " << click << ": the file is not complete";
        EXPECT_GE(info.packets, 3) << "click " << click;
    }
}
