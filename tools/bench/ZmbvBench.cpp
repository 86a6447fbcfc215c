// The lossless block coder on frames made in memory, as a recording at 20 frames a second would
// give them (a key frame every 10 s): the time to code a frame and the bytes it takes, for a
// mostly still desktop where a window's text is typed and a pointer moves, and for a page that
// scrolls every frame (every pixel changes) by 4 and by 40 rows, each without and with the search
// for vertical motion. Then ffmpeg's own ZMBV encoder on the same frames (the program's searched
// file decoded and coded again on the host): its bytes and CPU a frame.
//   bench_zmbv.exe width height frames [ffmpeg script (a host path)]
#include "BenchSupport.h"
#include "avi/AviWriter.h"
#include "avi/ZmbvEncoder.h"
#include "framework/Handles.h"
#include "support/Files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {
const int kRate = 20;
const int kKeyInterval = 10 * kRate;

// A 32-bit DIB section that GDI draws into.
void Text(HDC dc, int x, int y, const std::string& text, COLORREF colour)
{
    ::SetTextColor(dc, colour);
    ::TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

const char kSentence[] = "Typed into a window while the recording runs, one letter a frame: the quick brown fox "
                         "jumps over the lazy dog. ";

// A desktop where a window's text is typed, a clock ticks each second and the pointer moves.
class CDesktopScene
{
public:
    CDesktopScene(int width, int height) : m_scene(width, height), m_width(width), m_height(height)
    {
        CBitmapHandle desktop(bench::DesktopLikeBitmap(width, height));
        CCreatedDC source(::CreateCompatibleDC(nullptr));
        CSelectObject select(source, desktop);
        ::BitBlt(m_scene.Dc(), 0, 0, width, height, source, 0, 0, SRCCOPY);
        ::SetBkMode(m_scene.Dc(), OPAQUE);
        m_page = RECT{width / 10, height / 8, width / 10 + width * 4 / 10, height / 8 + height / 3};
        bench::Fill(m_scene.Dc(), m_page, RGB(255, 255, 255));
        bench::Fill(m_scene.Dc(), RECT{0, height - 30, width, height}, RGB(32, 32, 48));  // a taskbar
    }
    void Render(int frame, bench::CCanvas& out)
    {
        HDC dc = m_scene.Dc();
        ::SetBkColor(dc, RGB(255, 255, 255));
        const int perLine = 90, line = frame / perLine, typed = frame % perLine + 1;
        const std::string text(kSentence, static_cast<size_t>(std::min<int>(typed, sizeof kSentence - 1)));
        Text(dc, m_page.left + 8, m_page.top + 8 + 17 * (line % 20), text, RGB(0, 0, 0));
        if (frame % kRate == 0) {
            char clock[32];
            std::snprintf(clock, sizeof clock, "10:%02d:%02d", frame / kRate / 60 % 60, frame / kRate % 60);
            ::SetBkColor(dc, RGB(32, 32, 48));
            Text(dc, m_width - 80, m_height - 24, clock, RGB(255, 255, 255));
        }
        std::memcpy(out.Bits(), m_scene.Bits(), m_scene.Header().biSizeImage);
        const int x = m_width / 4 + (frame * 7) % (m_width / 2), y = m_height / 3 + (frame * 3) % (m_height / 3);
        ::DrawIconEx(out.Dc(), x, y, ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)), 0, 0, 0, nullptr, DI_NORMAL);
        ::GdiFlush();
    }

private:
    bench::CCanvas m_scene;
    int m_width, m_height;
    RECT m_page = {};
};

// A page of text and pictures seen through the screen, `step` rows further down each frame.
class CScrollScene
{
public:
    CScrollScene(int width, int height, int frames, int step)
        : m_page(width, height + frames * step), m_height(height), m_step(step)
    {
        HDC dc = m_page.Dc();
        bench::DrawScrollingPage(dc, width, m_page.Header().biHeight);
        ::GdiFlush();
    }
    void Render(int frame, bench::CCanvas& out)
    {
        for (int y = 0; y < m_height; ++y)
            std::memcpy(out.Row(y), m_page.Row(y + frame * m_step), static_cast<size_t>(m_page.Header().biWidth) * 4);
    }

private:
    bench::CCanvas m_page;
    int m_height, m_step;
};

struct CFigures {
    std::vector<double> keyMs, deltaMs;
    double keyBytes = 0, deltaBytes = 0, largest = 0, total = 0;
};

// Codes `frames` frames of the scene, written into `file`; false when the coder could not.
bool Run(int width, int height, int frames, bool search, const std::function<void(int, bench::CCanvas&)>& render,
         const std::string& file, CFigures& figures)
{
    bench::CCanvas frame(width, height);
    CZmbvEncoder encoder(width, height, kKeyInterval, search);
    CAviWriter writer(file, -1, -1, kRate);
    if (!frame.Usable() || !encoder.IsReady())
        return false;
    for (int i = 0; i < frames; ++i) {
        render(i, frame);
        const double start = bench::Now();
        if (!encoder.Encode(frame.Bits()))
            return false;
        const double ms = bench::Now() - start;
        const double bytes = encoder.Size();
        (encoder.IsKeyFrame() ? figures.keyMs : figures.deltaMs).push_back(ms);
        (encoder.IsKeyFrame() ? figures.keyBytes : figures.deltaBytes) += bytes;
        if (!encoder.IsKeyFrame())
            figures.largest = std::max(figures.largest, bytes);
        figures.total += bytes;
        if (!writer.WriteCodedFrame(encoder.Format(), encoder.Data(), encoder.Size(), encoder.IsKeyFrame()))
            return false;
    }
    // A few more key frames of the last picture, for a key frame's time on a machine that others share.
    for (int i = 0; i < 4; ++i) {
        encoder.ForceKeyFrame();
        const double start = bench::Now();
        encoder.Encode(frame.Bits());
        figures.keyMs.push_back(bench::Now() - start);
    }
    return writer.Close();
}

void Print(const char* scene, bool search, int width, int height, int frames, const CFigures& f)
{
    const double raw = static_cast<double>(width) * height * 4 * frames;
    const double keys = static_cast<double>(f.keyMs.size() - 4), deltas = static_cast<double>(f.deltaMs.size());
    std::printf("  %-22s %-10s key frame %5.1f ms %5.0f KB; other frames %5.2f ms (median; slowest %5.1f), %6.1f KB "
                "(largest %4.0f KB); all %6.2f MB, 1/%.0f of uncompressed\n",
                scene, search ? "searched" : "no search", bench::Median(f.keyMs), f.keyBytes / keys / 1024,
                bench::Median(f.deltaMs), f.deltaMs.empty() ? 0 : *std::max_element(f.deltaMs.begin(), f.deltaMs.end()),
                f.deltaBytes / std::max(deltas, 1.0) / 1024, f.largest / 1024, f.total / 1048576, raw / f.total);
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return std::printf("usage: bench_zmbv.exe width height frames [ffmpeg script]\n"), 2;
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]), frames = std::atoi(argv[3]);
    std::printf("  %dx%d, %d frames, a key frame every %d; uncompressed %.0f MB\n", width, height, frames,
                kKeyInterval, static_cast<double>(width) * height * 4 * frames / 1048576);
    std::unique_ptr<CDesktopScene> desktop;
    const struct {
        const char* name;
        int step;  // rows a frame; 0: the desktop
    } scenes[] = {{"desktop", 0}, {"page scrolled 4 rows", 4}, {"page scrolled 40 rows", 40}};
    for (const auto& scene : scenes) {
        std::unique_ptr<CScrollScene> page(scene.step ? new CScrollScene(width, height, frames, scene.step) : nullptr);
        const auto render = [&](int i, bench::CCanvas& out) { page ? page->Render(i, out) : desktop->Render(i, out); };
        for (const bool search : {false, true}) {
            // The desktop's text is typed afresh for each run.
            if (!page)
                desktop.reset(new CDesktopScene(width, height));
            const std::string name = std::string(scene.step ? "page" : "desktop") + (search ? "-searched" : "") + ".avi";
            CFigures figures;
            if (!Run(width, height, frames, search, render, CScratch::Windows(name), figures)) {
                std::printf("  %s: the coder or the file failed\n", scene.name);
                return 1;
            }
            Print(scene.name, search, width, height, frames, figures);
            if (argc > 4 && search) {  // ffmpeg's encoder on the same frames, beside the searched file
                const std::string out = CScratch::Host("ffmpeg-zmbv.txt");
                if (RunOnHost("sh '" + std::string(argv[4]) + "' '" + CScratch::Host(name) + "' " + std::to_string(frames) +
                                  " " + std::to_string(kKeyInterval) + " '" + out + "'",
                              600000) != 0)
                    std::printf("  ffmpeg: failed\n");
                const std::vector<BYTE> text = ReadBytes(CScratch::Windows("ffmpeg-zmbv.txt"));
                std::fwrite(text.data(), 1, text.size(), stdout);
                ::DeleteFileA(CScratch::Windows("ffmpeg-zmbv.txt").c_str());
            }
            std::fflush(stdout);
        }
    }
    return 0;
}
