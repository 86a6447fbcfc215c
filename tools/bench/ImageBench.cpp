// How long a 1920x1080 screen bitmap at 32 bits per pixel takes to become a PNG and a BMP file,
// stage by stage, against libpng alone writing the same rows from memory, ImageMagick turning
// the same raw RGB picture into PNG, and one WriteFile of as many bytes as the BMP. The PNG is
// written through the widened 24-bit image (as a picture of 8 bits per pixel still goes) and
// straight from the bitmap a strip of rows at a time (as a delivery writes a true-colour one).
//   bench_image.exe [runs]
// The bitmap is made compatible with the display (32 bits per pixel under Wine on a 24-bit
// X screen) at 1920x1080 whatever the screen's size, and drawn like a desktop: a gradient,
// windows with title bars, lines of text, a photo-like patch of noise.
#include "BenchSupport.h"
#include "ImageTestSupport.h"
#include "framework/Handles.h"
#include "image/BitmapToDib.h"
#include "image/DibImage.h"
#include "image/PngWriter.h"
#include "support/Files.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace image_testing;
using namespace testing_support;
using namespace bench;

namespace {
const int kWidth = 1920, kHeight = 1080;

void Row(const char* name, double ms, double reference = 0)
{
    if (reference > 0)
        std::printf("  %-44s %8.2f ms  (%.2fx)\n", name, ms, ms / reference);
    else
        std::printf("  %-44s %8.2f ms\n", name, ms);
}
}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    CBitmapHandle bitmap(DesktopLikeBitmap(kWidth, kHeight));
    BITMAP bm = {};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    std::printf("%dx%d bitmap at %d bits per pixel (compatible with the display), median of %d runs\n",
                static_cast<int>(bm.bmWidth), static_cast<int>(bm.bmHeight), bm.bmBitsPixel * bm.bmPlanes, runs);

    const std::string png = CScratch::Windows("bench.png"), bmp = CScratch::Windows("bench.bmp");
    const std::string direct = CScratch::Windows("direct.png");
    const std::string refPng = CScratch::Windows("libpng.png"), imPng = CScratch::Windows("magick.png");
    const std::string raw = CScratch::Windows("bench.rgb"), plain = CScratch::Windows("plain.bin");

    std::vector<double> getDIBits, widen, swap, savePng, saveBmp, libpng, widen32, writeFile, magick, magickInside;
    std::vector<double> firstTouch, warmGetDIBits, directPng;
    std::vector<BYTE> rgb;
    for (int run = 0; run < runs; ++run) {
        // PNG path through the 24-bit image.
        CDibImage image;
        double t = Now();
        if (!image.CreateFromBitmap(bitmap, nullptr))
            return std::printf("CreateFromBitmap failed\n"), 1;
        getDIBits.push_back(Now() - t);
        t = Now();
        image.ConvertTo24Bit();
        widen.push_back(Now() - t);
        t = Now();
        image.SwapRedBlue();
        image.SwapRedBlue();
        swap.push_back((Now() - t) / 2);
        t = Now();
        if (!SavePng(png.c_str(), image).IsDone())
            return std::printf("SavePng failed\n"), 1;
        savePng.push_back(Now() - t);

        // PNG straight from the bitmap, as a delivery writes it.
        t = Now();
        {
            CBitmapRows rows(bitmap);
            if (!rows.IsOpen() || !SavePng(direct.c_str(), rows).IsDone())
                return std::printf("SavePng from the bitmap failed\n"), 1;
        }
        directPng.push_back(Now() - t);

        if (rgb.empty()) {  // the same picture, top row first, red-green-blue, from memory
            CGlobalLock<BITMAPINFOHEADER> dib(image.GetHandle());
            for (int y = 0; y < kHeight; ++y) {
                const BYTE* row = DibBits(dib.Get()) + static_cast<size_t>(kHeight - 1 - y) * image.GetStride();
                rgb.insert(rgb.end(), row, row + kWidth * 3);
            }
            WriteBytes(raw, rgb);
        }
        t = Now();
        if (!LibpngAlone(refPng, rgb, kWidth, kHeight))
            return std::printf("libpng alone failed\n"), 1;
        libpng.push_back(Now() - t);

        // BMP path.
        CDibImage forBmp;
        forBmp.CreateFromBitmap(bitmap, nullptr);
        forBmp.ConvertTo24Bit();
        t = Now();
        if (!forBmp.Save(bmp.c_str()).IsDone())
            return std::printf("Save failed\n"), 1;
        saveBmp.push_back(Now() - t);

        // The same number of bytes with one WriteFile.
        const std::vector<BYTE> bytes = ReadBytes(bmp);
        t = Now();
        {
            CFileHandle file(::CreateFileA(plain.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
            DWORD written = 0;
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
        writeFile.push_back(Now() - t);

        // Widening a 32-bit DIB (the frame form) for comparison: what the conversion costs
        // where the system does not hand out 24 bits directly.
        {
            CDibImage wide;
            CWindowDC screen(nullptr);
            BITMAPINFOHEADER header = {sizeof header, kWidth, kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, sizeof header + static_cast<SIZE_T>(kWidth) * 4 * kHeight);
            {
                CGlobalLock<BITMAPINFOHEADER> dib(h);
                *dib.Get() = header;
                ::GetDIBits(screen, bitmap, 0, kHeight, dib.Get() + 1, reinterpret_cast<BITMAPINFO*>(dib.Get()),
                            DIB_RGB_COLORS);
            }
            wide.Attach(h);
            t = Now();
            wide.ConvertTo24Bit();
            widen32.push_back(Now() - t);
        }

        // What fresh memory costs: every capture fills a new block, and on some virtual
        // machines the first touch of each page is expensive. Then GetDIBits into the same
        // block once more, now that its pages are there.
        {
            const SIZE_T size = static_cast<SIZE_T>(DibStride(kWidth, 24)) * kHeight;
            CGlobalMemory block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + size));
            CGlobalLock<BITMAPINFOHEADER> dib(block);
            t = Now();
            std::memset(dib.Get() + 1, 1, size);
            firstTouch.push_back(Now() - t);
            CWindowDC screen(nullptr);
            *dib.Get() = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kWidth, kHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
            t = Now();
            ::GetDIBits(screen, bitmap, 0, kHeight, dib.Get() + 1, reinterpret_cast<BITMAPINFO*>(dib.Get()),
                        DIB_RGB_COLORS);
            warmGetDIBits.push_back(Now() - t);
        }

        // ImageMagick from the raw picture, as seen from here (process start included) and
        // inside the host's shell.
        const std::string times = CScratch::Host("magick.ms");
        t = Now();
        const int status = RunOnHost("s=$(date +%s%N); convert-im6.q16 -size 1920x1080 -depth 8 rgb:" +
                                     CScratch::Host("bench.rgb") + " " + CScratch::Host("magick.png") +
                                     "; e=$(date +%s%N); echo $(( (e - s) / 1000 )) > " + times);
        magick.push_back(Now() - t);
        if (status != 0)
            return std::printf("ImageMagick failed\n"), 1;
        const std::vector<BYTE> us = ReadBytes(CScratch::Windows("magick.ms"));
        magickInside.push_back(std::atof(std::string(us.begin(), us.end()).c_str()) / 1000.0);
    }

    const double pngPath = Median(getDIBits) + Median(widen) + Median(savePng);
    const double bmpPath = Median(getDIBits) + Median(widen) + Median(saveBmp);
    std::printf("PNG (%lld bytes; libpng alone %lld, ImageMagick %lld)\n", FileSize(png), FileSize(refPng),
                FileSize(imPng));
    Row("GetDIBits to a 24-bit DIB (CreateFromBitmap)", Median(getDIBits));
    Row("to 24 bits (ConvertTo24Bit, already 24)", Median(widen));
    Row("red/blue swap", Median(swap));
    Row("encode and write (SavePng less the swap)", Median(savePng) - Median(swap));
    Row("whole PNG path through the 24-bit image", pngPath, Median(libpng));
    Row("straight from the bitmap (CBitmapRows)", Median(directPng), Median(libpng));
    std::printf("  straight from the bitmap: %s bytes as through the 24-bit image\n",
                ReadBytes(direct) == ReadBytes(png) ? "the same" : "OTHER");
    Row("libpng alone, rows from memory", Median(libpng));
    Row("ImageMagick rgb: to png, from Windows", Median(magick));
    Row("ImageMagick rgb: to png, inside the host", Median(magickInside));
    std::printf("  whole PNG path against ImageMagick from Windows: %.2fx, inside the host: %.2fx\n",
                pngPath / Median(magick), pngPath / Median(magickInside));
    std::printf("BMP (%lld bytes)\n", FileSize(bmp));
    Row("GetDIBits to a 24-bit DIB (CreateFromBitmap)", Median(getDIBits));
    Row("to 24 bits (ConvertTo24Bit, already 24)", Median(widen));
    Row("write (Save)", Median(saveBmp), Median(writeFile));
    Row("whole BMP path, against one WriteFile", bmpPath, Median(writeFile));
    Row("one WriteFile of as many bytes", Median(writeFile));
    std::printf("Where the time goes\n");
    Row("first touch of a fresh 24-bit-sized block", Median(firstTouch));
    Row("GetDIBits into a block already touched", Median(warmGetDIBits));
    Row("widening a 32-bit DIB to 24 bits (fresh block)", Median(widen32));
    std::printf("  PNG path without the first touch: %.2fx libpng alone; BMP path: %.2fx one WriteFile\n",
                (pngPath - Median(firstTouch)) / Median(libpng), (bmpPath - Median(firstTouch)) / Median(writeFile));
    return 0;
}
