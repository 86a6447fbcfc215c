// Device-dependent bitmaps to DIBs: bitmaps in the display's own format (whatever depth this
// display has: the suite runs these again on 16- and 8-bit displays) and memory bitmaps of
// every depth, to the depths, offsets and colours each conversion promises; and PNG files
// written straight from such bitmaps, byte for byte the files of the widened images.
#include "ImageTestSupport.h"
#include "avi/FrameGrabber.h"
#include "capture/Delivery.h"
#include "framework/Handles.h"
#include "image/BitmapToDib.h"
#include "image/DibImage.h"
#include "image/PngWriter.h"
#include "support/Files.h"
#include "support/Screen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

using namespace image_testing;
using namespace testing_support;

namespace {
int DisplayDepth()
{
    CWindowDC screen(nullptr);
    return ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
}

// Colours every display depth shows exactly (the 8-bit display's static colours among them).
const COLORREF kQuadrants[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};

// A bitmap compatible with the screen, 40 x 20, in four quadrants: red, green (top), blue,
// white (bottom).
HBITMAP QuadrantBitmap()
{
    CWindowDC screen(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 40, 20);
    CCreatedDC memory(::CreateCompatibleDC(screen));
    CSelectObject select(memory, bitmap);
    for (int i = 0; i < 4; ++i) {
        const RECT rc = {(i % 2) * 20, (i / 2) * 10, (i % 2) * 20 + 20, (i / 2) * 10 + 10};
        CBrushHandle brush(::CreateSolidBrush(kQuadrants[i]));
        ::FillRect(memory, &rc, brush);
    }
    return bitmap;
}

// The colour (as COLORREF) of pixel (x, y from the top) of a packed DIB of 8, 16 (5-5-5), 24 or
// 32 bits whose rows start at `bits`.
COLORREF DibPixel(const BITMAPINFOHEADER* dib, const BYTE* bits, int x, int y)
{
    const int stride = DibStride(dib->biWidth, dib->biBitCount);
    const BYTE* row = bits + (dib->biHeight - 1 - y) * stride;
    switch (dib->biBitCount) {
    case 8: {
        const RGBQUAD& c = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(dib) + dib->biSize)[row[x]];
        return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
    case 16: {
        const WORD w = static_cast<WORD>(row[2 * x] | row[2 * x + 1] << 8);
        const auto five = [](int v) { return static_cast<BYTE>(v << 3 | v >> 2); };
        return RGB(five(w >> 10 & 31), five(w >> 5 & 31), five(w & 31));
    }
    case 24:
        return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default:
        return RGB(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}

// A bitmap compatible with the screen showing random colours (as near as the display has them).
HBITMAP RandomScreenBitmap(int width, int height, std::mt19937& random)
{
    CWindowDC screen(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    for (DWORD& p : pixels)
        p = random() & 0xFFFFFF;
    BITMAPINFOHEADER header = {sizeof header, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::SetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
                DIB_RGB_COLORS);
    return bitmap;
}

void ExpectQuadrants(const BITMAPINFOHEADER* dib, const BYTE* bits)
{
    for (int i = 0; i < 4; ++i) {
        const int x = (i % 2) * 20, y = (i / 2) * 10;
        for (const POINT p : {POINT{x, y}, POINT{x + 19, y + 9}}) {
            EXPECT_EQ(DibPixel(dib, bits, p.x, p.y), kQuadrants[i]) << "at " << p.x << "," << p.y;
        }
    }
}

// The depth the suite meant this display to have, if it said so.
void ExpectIntendedDisplay()
{
    if (const char* intended = std::getenv("PIXLET_DISPLAY_BPP")) {
        ASSERT_EQ(DisplayDepth(), std::atoi(intended)) << "the display is not at the depth this run is for";
    }
}
}  // namespace

TEST(ScreenBitmap, StillDibRoundsTheDisplayDepthUpTo8Or24Bits)
{
    ASSERT_NO_FATAL_FAILURE(ExpectIntendedDisplay());
    const int display = DisplayDepth();
    const int expected = display <= 8 ? 8 : 24;
    CBitmapHandle bitmap(QuadrantBitmap());
    CGlobalMemory hDib(BitmapToDib(bitmap, nullptr));
    ASSERT_TRUE(hDib);
    CGlobalLock<BITMAPINFOHEADER> dib(hDib);
    EXPECT_EQ(dib->biBitCount, expected);
    EXPECT_EQ(dib->biWidth, 40);
    EXPECT_EQ(dib->biHeight, 20);
    EXPECT_EQ(dib->biCompression, static_cast<DWORD>(BI_RGB));
    // Rows right after the header at 24 bits, after 256 colours at 8 bits.
    EXPECT_EQ(DibBits(dib.Get()) - reinterpret_cast<BYTE*>(dib.Get()), expected == 8 ? 40 + 1024 : 40);
    EXPECT_GE(::GlobalSize(hDib), static_cast<SIZE_T>(DibBits(dib.Get()) - reinterpret_cast<BYTE*>(dib.Get())) +
                                      DibStride(40, expected) * 20u);
    ExpectQuadrants(dib.Get(), DibBits(dib.Get()));
}

TEST(ScreenBitmap, FrameDibKeepsTheDisplayDepth)
{
    ASSERT_NO_FATAL_FAILURE(ExpectIntendedDisplay());
    const int display = DisplayDepth();
    CBitmapHandle bitmap(QuadrantBitmap());
    const CFrameDib frame = BitmapToFrameDib(bitmap, BI_RGB, nullptr);
    ASSERT_NE(frame.Get(), nullptr);
    EXPECT_EQ(::GlobalHandle(frame.Get()), static_cast<HGLOBAL>(frame.Get()));  // fixed: the pointer is the handle
    EXPECT_EQ(frame.Get()->biBitCount, display);
    EXPECT_EQ(frame.Get()->biWidth, 40);
    EXPECT_EQ(frame.Get()->biHeight, 20);
    EXPECT_EQ(frame.Get()->biSizeImage, static_cast<DWORD>(DibStride(40, display) * 20));
    const int tableSize = display <= 8 ? 4 << display : 0;
    ExpectQuadrants(frame.Get(), reinterpret_cast<BYTE*>(frame.Get()) + 40 + tableSize);
}

TEST(ScreenBitmap, ImageFromAScreenBitmapWidensToTheSameColours)
{
    ASSERT_NO_FATAL_FAILURE(ExpectIntendedDisplay());
    CBitmapHandle bitmap(QuadrantBitmap());
    CDibImage image;
    ASSERT_TRUE(image.CreateFromBitmap(bitmap, nullptr));
    bitmap.Reset();  // the image does not need the bitmap any more
    ASSERT_TRUE(image.ConvertTo24Bit());
    EXPECT_EQ(image.GetBitCount(), 24);
    EXPECT_EQ(image.GetStride(), 120);
    CGlobalLock<BITMAPINFOHEADER> dib(image.GetHandle());
    ExpectQuadrants(dib.Get(), DibBits(dib.Get()));
}

TEST(ScreenBitmap, ARealScreenGrabGivesTheSamePictureBothWays)
{
    ASSERT_NO_FATAL_FAILURE(ExpectIntendedDisplay());
    const int display = DisplayDepth();
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    CBitmapHandle bitmap;
    {
        CWindowDC screen(nullptr);
        bitmap.Reset(::CreateCompatibleBitmap(screen, width, height));
        CCreatedDC memory(::CreateCompatibleDC(screen));
        CSelectObject select(memory, bitmap);
        ASSERT_TRUE(::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT));
    }
    CGlobalMemory hDib(BitmapToDib(bitmap, nullptr));
    const CFrameDib frame = BitmapToFrameDib(bitmap, BI_RGB, nullptr);
    ASSERT_TRUE(hDib);
    ASSERT_NE(frame.Get(), nullptr);
    CGlobalLock<BITMAPINFOHEADER> dib(hDib);
    ASSERT_EQ(dib->biWidth, width);
    ASSERT_EQ(dib->biHeight, height);
    const BYTE* frameBits = reinterpret_cast<BYTE*>(frame.Get()) + 40 + (display <= 8 ? 4 << display : 0);
    // The recorder's grab at 32 bits, the rows the lossless coder takes (none on a palette display).
    CFrameGrabber grabber(RECT{0, 0, width, height}, 32);
    ASSERT_EQ(grabber.Usable(), display > 8);
    ASSERT_TRUE(!grabber.Usable() || (grabber.Grab(nullptr) && grabber.Header().biBitCount == 32));
    int differences = 0, differencesAt32 = 0;
    for (int y = 0; y < height; y += 7) {
        for (int x = 0; x < width; x += 3) {
            COLORREF still = DibPixel(dib.Get(), DibBits(dib.Get()), x, y);
            COLORREF moving = DibPixel(frame.Get(), frameBits, x, y);
            COLORREF coded = grabber.Usable() ? DibPixel(&grabber.Header(), grabber.Bits(), x, y) : still;
            if (display == 16) {  // compare at the 5 bits per channel both were made from
                still &= 0xF8F8F8;
                moving &= 0xF8F8F8;
                coded &= 0xF8F8F8;
            }
            differences += still != moving;
            differencesAt32 += still != coded;
        }
    }
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(differencesAt32, 0);
}

TEST(ScreenBitmap, MemoryBitmapsOfEachDepth)
{
    const struct {
        WORD source, still;
    } cases[] = {{1, 1}, {4, 4}, {8, 8}, {16, 24}, {24, 24}, {32, 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source << "-bit bitmap");
        CBitmapHandle bitmap(::CreateBitmap(9, 3, 1, c.source, nullptr));
        ASSERT_TRUE(bitmap);
        CGlobalMemory hDib(BitmapToDib(bitmap, nullptr));
        ASSERT_TRUE(hDib);
        {
            CGlobalLock<BITMAPINFOHEADER> dib(hDib);
            EXPECT_EQ(dib->biBitCount, c.still);
            EXPECT_EQ(DibBits(dib.Get()) - reinterpret_cast<BYTE*>(dib.Get()),
                      40 + 4 * DibFullColorCount(c.still));
        }
        const CFrameDib frame = BitmapToFrameDib(bitmap, BI_RGB, nullptr);
        ASSERT_NE(frame.Get(), nullptr);
        EXPECT_EQ(frame.Get()->biBitCount, c.source);
        EXPECT_EQ(frame.Get()->biSizeImage, static_cast<DWORD>(DibStride(9, c.source) * 3));
    }
}

TEST(ScreenBitmap, NothingToConvertGivesNothing)
{
    EXPECT_EQ(BitmapToDib(nullptr, nullptr), nullptr);
    EXPECT_FALSE(BitmapToFrameDib(nullptr, BI_RGB, nullptr));
    CBitmapHandle bitmap(QuadrantBitmap());
    EXPECT_FALSE(BitmapToFrameDib(bitmap, BI_BITFIELDS, nullptr));

    CDibImage image;
    HGLOBAL hDib = MakeDib(2, 2, 24);
    ASSERT_TRUE(image.Attach(hDib));
    EXPECT_FALSE(image.CreateFromBitmap(nullptr, nullptr));
    EXPECT_EQ(image.GetHandle(), hDib);
    EXPECT_EQ(image.GetWidth(), 2);
}

TEST(BitmapHeaders, StillDepthsAndSizes)
{
    const int depths[][2] = {{1, 1}, {2, 4}, {4, 4}, {5, 8}, {8, 8}, {15, 24}, {16, 24}, {24, 24}, {32, 24}};
    for (const auto& d : depths)
        EXPECT_EQ(StillDibDepth(d[0]), d[1]) << d[0];

    BITMAP bm = {};
    bm.bmWidth = 5;
    bm.bmHeight = 3;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = 16;
    const BITMAPINFOHEADER still = StillDibHeader(bm);
    EXPECT_EQ(still.biBitCount, 24);
    EXPECT_EQ(still.biSizeImage, 12u * 3);  // rows at the source's depth
    EXPECT_EQ(still.biClrUsed, 0u);
    bm.bmBitsPixel = 4;
    EXPECT_EQ(StillDibHeader(bm).biClrUsed, 16u);

    bm.bmBitsPixel = 32;
    BITMAPINFOHEADER frame = FrameDibHeader(bm, BI_RGB);
    EXPECT_EQ(frame.biBitCount, 32);
    EXPECT_EQ(frame.biSizeImage, 0u);
    EXPECT_EQ(FrameDibImageSize(frame), 20u * 3);
    frame.biCompression = BI_RLE8;
    EXPECT_EQ(FrameDibImageSize(frame), 30u * 3);
}

TEST(ScreenBitmap, PngFilesStraightFromTheBitmapAreTheWidenedImagesFiles)
{
    ASSERT_NO_FATAL_FAILURE(ExpectIntendedDisplay());
    EXPECT_FALSE(CBitmapRows(nullptr).IsOpen());
    // Odd widths, single rows and columns, and 1921 x 1081 (on a 32-bit display strips of 17
    // rows, the last of 10).
    const std::pair<int, int> sizes[] = {{1, 1}, {3, 2}, {5, 3}, {33, 7}, {1, 1081}, {1921, 1081}};
    std::mt19937 random(11);
    for (const auto& size : sizes) {
        const int width = size.first, height = size.second;
        const std::string name = std::to_string(width) + "x" + std::to_string(height) + ".png";
        SCOPED_TRACE(name);
        CBitmapHandle bitmap(RandomScreenBitmap(width, height, random));
        // Indexed pictures keep the way through their palette.
        EXPECT_EQ(CBitmapRows(bitmap).IsOpen(), DisplayDepth() > 8);
        // The file as every PNG was written before: from the widened image.
        CDibImage image;
        ASSERT_TRUE(image.CreateFromBitmap(bitmap, nullptr) && image.ConvertTo24Bit());
        const std::string widened = CScratch::Windows("widened-" + name);
        ASSERT_TRUE(SavePng(widened.c_str(), image).IsDone());
        CaptureSettings settings;
        settings.m_bSaveToFile = TRUE;
        std::strcpy(settings.m_szTargetFile, CScratch::Windows(name).c_str());
        int lastNumber = 0;
        ASSERT_TRUE(DeliverBitmap(std::move(bitmap), settings, lastNumber, nullptr).IsDone());
        EXPECT_TRUE(ReadBytes(settings.m_szTargetFile) == ReadBytes(widened)) << "not the widened image's bytes";

        // ImageMagick reads the widened image's colours back (its rows red-green-blue now).
        const CPixels decoded = DecodeImageFile(CScratch::Host(name), width, height);
        ASSERT_FALSE(decoded.Empty()) << "ImageMagick could not decode it";
        CGlobalLock<BITMAPINFOHEADER> dib(image.GetHandle());
        int differences = 0;
        for (int y = 0; y < height; ++y) {
            const BYTE* row = DibBits(dib.Get()) + static_cast<size_t>(height - 1 - y) * image.GetStride();
            for (int x = 0; x < width; ++x)
                differences += decoded.At(x, y) != RGB(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
        }
        EXPECT_EQ(differences, 0);
    }
}
