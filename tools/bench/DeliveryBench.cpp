// How long "Copy automatically" takes from the action's start (after its fixed half-second wait)
// to the picture delivered, on this display, with the screen showing a desktop-like picture:
// to the clipboard, to a BMP file, to a PNG file; beside it the full-screen grab and libpng
// alone writing the same picture from memory, and scrot writing a PNG of the same screen.
//   bench_delivery.exe [runs] [scrot timing script (a host path)]
#include "BenchSupport.h"
#include "app/StillActions.h"
#include "capture/ScreenGrab.h"
#include "framework/Handles.h"
#include "support/Files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace bench;
using namespace testing_support;

namespace {
double TimeDelivery(CaptureSettings& settings, int runs)
{
    CaptureState state;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double start = Now();
        CopyAutomatically(nullptr, settings, state);
        times.push_back(Now() - start);
    }
    return Median(times);
}
}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    CBitmapHandle desktop(DesktopLikeBitmap(width, height));
    const HWND window = ShowOverScreen(desktop, 500);

    const RECT screen = {0, 0, width, height};
    std::vector<double> grabs, libpng;
    for (int run = 0; run < runs; ++run) {
        double start = Now();
        CBitmapHandle grab = GrabScreenRect(screen).bitmap;
        grabs.push_back(Now() - start);
        int w = 0, h = 0;
        const std::vector<BYTE> rgb = RgbRows(grab, w, h);
        start = Now();
        LibpngAlone(CScratch::Windows("libpng.png"), rgb, w, h);
        libpng.push_back(Now() - start);
    }
    const double grab = Median(grabs), png = Median(libpng);

    CaptureSettings settings;
    const double toClipboard = TimeDelivery(settings, runs);
    settings.m_bSaveToFile = TRUE;
    std::strcpy(settings.m_szTargetFile, CScratch::Windows("shot.bmp").c_str());
    const double toBmp = TimeDelivery(settings, runs);
    std::strcpy(settings.m_szTargetFile, CScratch::Windows("shot.png").c_str());
    const double toPng = TimeDelivery(settings, runs);

    std::printf("screen %dx%d showing a desktop-like picture, median of %d runs\n", width, height, runs);
    std::printf("  action start to picture delivered: clipboard %.1f ms, BMP file %.1f ms, PNG file %.1f ms (%lld bytes)\n",
                toClipboard, toBmp, toPng, FileSize(CScratch::Windows("shot.png")));
    std::printf("  full-screen grab %.1f ms + libpng alone %.1f ms (%lld bytes) = %.1f ms: the PNG path is %.2fx that\n",
                grab, png, FileSize(CScratch::Windows("libpng.png")), grab + png, toPng / (grab + png));
    std::fflush(stdout);

    if (argc > 2) {  // scrot on the same screen, timed on the host while the picture is shown
        const std::string figures = CScratch::Host("scrot.txt");
        if (RunOnHost("sh '" + std::string(argv[2]) + "' " + std::to_string(runs) + " '" + figures + "'", 120000) != 0)
            std::printf("  scrot: %s\n", "failed (is it installed?)");
        const std::vector<BYTE> text = ReadBytes(CScratch::Windows("scrot.txt"));
        std::printf("%s", std::string(text.begin(), text.end()).c_str());
    }
    ::DestroyWindow(window);
    return 0;
}
