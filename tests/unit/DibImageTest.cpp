// The DIB image: header arithmetic, ownership of block and palette, the red/blue swap and the
// widening to 24 bits per pixel.
#include "ImageTestSupport.h"
#include "framework/Handles.h"
#include "image/ColorDepth.h"
#include "image/DibImage.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace image_testing;

namespace {
bool PaletteDisplay()
{
    CWindowDC screen(nullptr);
    return (::GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
}

// The colour of pixel (x, y) of a 24-bit image, y counted from the top: 0xRRGGBB.
DWORD PixelAt(const CDibImage& image, int x, int y)
{
    CGlobalLock<BITMAPINFOHEADER> dib(image.GetHandle());
    const BYTE* p = DibBits(dib.Get()) + (image.GetHeight() - 1 - y) * image.GetStride() + 3 * x;
    return static_cast<DWORD>(p[2]) << 16 | static_cast<DWORD>(p[1]) << 8 | p[0];
}

std::vector<BYTE> Pixels(const CDibImage& image)
{
    const std::vector<BYTE> block = BlockBytes(image.GetHandle());
    CGlobalLock<BITMAPINFOHEADER> dib(image.GetHandle());
    const size_t offset = static_cast<size_t>(DibBits(dib.Get()) - reinterpret_cast<BYTE*>(dib.Get()));
    const auto begin = block.begin() + static_cast<ptrdiff_t>(offset);
    return std::vector<BYTE>(begin, begin + image.GetStride() * image.GetHeight());
}

BITMAPINFOHEADER Header(WORD bitCount, DWORD clrUsed = 0)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = 1;
    header.biHeight = 1;
    header.biBitCount = bitCount;
    header.biClrUsed = clrUsed;
    return header;
}
}  // namespace

TEST(DibArithmetic, RowsAreRoundedUpToWholeWords)
{
    EXPECT_EQ(DibStride(1, 24), 4);
    EXPECT_EQ(DibStride(33, 1), 8);
    EXPECT_EQ(DibStride(5, 8), 8);
    EXPECT_EQ(DibStride(3, 24), 12);
    EXPECT_EQ(DibStride(5, 24), 16);
    EXPECT_EQ(DibStride(10, 1), 4);
    EXPECT_EQ(DibStride(3, 4), 4);
    EXPECT_EQ(DibStride(1921, 24), 5764);
    EXPECT_EQ(DibStride(1921, 32), 7684);
}

TEST(DibArithmetic, ColourTableFollowsClrUsedElseTheBitCount)
{
    const struct {
        WORD bitCount;
        DWORD clrUsed;
        WORD colors;
    } cases[] = {
        {1, 0, 2}, {4, 0, 16}, {8, 0, 256}, {16, 0, 0}, {24, 0, 0}, {32, 0, 0},
        {8, 20, 20}, {24, 3, 3}, {8, 0x10014, 20},  // a 16-bit count
    };
    for (const auto& c : cases) {
        const BITMAPINFOHEADER header = Header(c.bitCount, c.clrUsed);
        SCOPED_TRACE(testing::Message() << c.bitCount << " bits, biClrUsed " << c.clrUsed);
        EXPECT_EQ(DibColorCount(&header), c.colors);
        EXPECT_EQ(DibColorTableSize(&header), 4u * c.colors);
        EXPECT_EQ(DibBits(&header) - reinterpret_cast<const BYTE*>(&header), 40 + 4 * c.colors);
    }
    BITMAPINFOHEADER v4 = Header(24);
    v4.biSize = 108;
    EXPECT_EQ(DibBits(&v4) - reinterpret_cast<const BYTE*>(&v4), 108);
}

TEST(DibArithmetic, BlockMustHoldEveryRowItsHeaderAnnounces)
{
    BITMAPINFOHEADER header = Header(8, 20);
    header.biWidth = 5;
    header.biHeight = 3;
    EXPECT_TRUE(DibFitsBlock(&header, 40 + 80 + 3 * 8));
    EXPECT_FALSE(DibFitsBlock(&header, 40 + 80 + 3 * 8 - 1));
    header.biHeight = -3;  // top-down: not the layout of this program
    EXPECT_FALSE(DibFitsBlock(&header, 1000));
    header.biHeight = 3;
    header.biWidth = 0;
    EXPECT_FALSE(DibFitsBlock(&header, 1000));
    header.biWidth = 0x7FFFFFFF;
    header.biBitCount = 32;
    EXPECT_FALSE(DibFitsBlock(&header, static_cast<SIZE_T>(-1)));
}

TEST(DibImage, AttachTakesTheNumbersAndMakesThePalette)
{
    CDibImage image;
    EXPECT_EQ(image.GetHandle(), nullptr);
    EXPECT_EQ(image.GetWidth(), 0);

    HGLOBAL truecolour = MakeDib(1, 2, 24);
    ASSERT_TRUE(image.Attach(truecolour));
    EXPECT_EQ(image.GetHandle(), truecolour);
    EXPECT_EQ(image.GetWidth(), 1);
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.GetBitCount(), 24);
    EXPECT_EQ(image.GetStride(), 4);
    // No palette on a true-colour display, the halftone palette on a palette display.
    EXPECT_EQ(image.GetPalette() != nullptr, PaletteDisplay());

    std::vector<DWORD> colors;
    for (DWORD i = 0; i < 20; ++i)
        colors.push_back(0x010203 * i + 0x400000);
    HGLOBAL indexed = MakeDib(5, 1, 8, 20, colors);
    ASSERT_TRUE(image.Attach(indexed));  // releases the first block and its palette
    EXPECT_EQ(image.GetStride(), 8);
    ASSERT_NE(image.GetPalette(), nullptr);
    PALETTEENTRY entries[32] = {};
    ASSERT_EQ(::GetPaletteEntries(image.GetPalette(), 0, 32, entries), 20u);
    EXPECT_EQ(entries[7].peRed, 0x47);
    EXPECT_EQ(entries[7].peGreen, 0x0E);
    EXPECT_EQ(entries[7].peBlue, 0x15);
    CGlobalLock<BITMAPINFOHEADER> dib(indexed);
    EXPECT_EQ(DibBits(dib.Get()) - reinterpret_cast<BYTE*>(dib.Get()), 40 + 80);
}

TEST(DibImage, AttachOfNothingAndFreeLeaveItEmptyAndReleaseTheBlockAndPalette)
{
    // A released block's handle is no longer valid; a deleted palette is no GDI object.
    auto released = [](HGLOBAL block, HPALETTE palette) {
        return ::GlobalFlags(block) == GMEM_INVALID_HANDLE && ::GetObjectType(palette) == 0;
    };
    CDibImage image;
    EXPECT_FALSE(image.Attach(nullptr));
    HGLOBAL block = MakeDib(3, 3, 4);
    ASSERT_TRUE(image.Attach(block));
    HPALETTE palette = image.GetPalette();
    ASSERT_NE(palette, nullptr);
    EXPECT_FALSE(image.Attach(nullptr));
    EXPECT_EQ(image.GetHandle(), nullptr);
    EXPECT_EQ(image.GetPalette(), nullptr);
    EXPECT_TRUE(released(block, palette)) << "Attach of nothing kept the earlier block";

    block = MakeDib(3, 3, 4);
    ASSERT_TRUE(image.Attach(block));
    palette = image.GetPalette();
    image.Free();
    EXPECT_EQ(image.GetHandle(), nullptr);
    EXPECT_EQ(image.GetPalette(), nullptr);
    EXPECT_TRUE(released(block, palette)) << "Free kept the block";
}

TEST(DibImage, CreateMakesABlankPictureWithAHalftonePalette)
{
    CDibImage image;
    ASSERT_TRUE(image.Create(3, 2, 24));
    EXPECT_NE(image.GetPalette(), nullptr);
    EXPECT_EQ(image.GetStride(), 12);
    EXPECT_GE(::GlobalSize(image.GetHandle()), 44u + 12 * 2);
    const BITMAPINFOHEADER header = BlockHeader(image.GetHandle());
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 3);
    EXPECT_EQ(header.biHeight, 2);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(header.biSizeImage, 0u);
    EXPECT_EQ(header.biClrUsed, 0u);
    const std::vector<BYTE> pixels = Pixels(image);
    EXPECT_EQ(pixels, std::vector<BYTE>(24, 0));

    // There is no room for a colour table: an indexed blank image would send readers past the block.
    EXPECT_FALSE(image.Create(3, 2, 8));
    EXPECT_EQ(image.GetHandle(), nullptr);
}

TEST(DibImage, SwapRedBlueExchangesFirstAndThirdByteOfEachPixelOnly)
{
    // 2 x 1 at 24 bits: 6 pixel bytes and 2 padding bytes.
    CDibImage image;
    ASSERT_TRUE(image.Attach(MakeDib(2, 1, 24, 0, {}, {1, 2, 3, 4, 5, 6, 0xEE, 0xFF})));
    ASSERT_TRUE(image.SwapRedBlue());
    EXPECT_EQ(Pixels(image), (std::vector<BYTE>{3, 2, 1, 6, 5, 4, 0xEE, 0xFF}));
    ASSERT_TRUE(image.SwapRedBlue());
    EXPECT_EQ(Pixels(image), (std::vector<BYTE>{1, 2, 3, 4, 5, 6, 0xEE, 0xFF}));

    ASSERT_TRUE(image.Attach(MakeDib(4, 1, 8, 0, {}, {1, 2, 3, 4})));
    EXPECT_FALSE(image.SwapRedBlue());
    EXPECT_EQ(Pixels(image).size(), 4u);
    EXPECT_EQ(Pixels(image), (std::vector<BYTE>{1, 2, 3, 4}));
    CDibImage empty;
    EXPECT_FALSE(empty.SwapRedBlue());
}

TEST(ColorDepth, OneBitPixelsComeMostSignificantBitFirst)
{
    CDibImage image;
    ASSERT_TRUE(image.Attach(MakeDib(10, 1, 1, 0, {0x000000, 0xFFFFFF}, {0xA0, 0x40, 0, 0})));
    ASSERT_TRUE(image.ConvertTo24Bit());
    EXPECT_EQ(image.GetBitCount(), 24);
    EXPECT_EQ(image.GetStride(), 32);
    const std::vector<BYTE> pixels = Pixels(image);
    const bool white[10] = {true, false, true, false, false, false, false, false, false, true};
    for (int x = 0; x < 10; ++x)
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(pixels[3 * x + i], white[x] ? 0xFF : 0x00) << "pixel " << x;
    EXPECT_EQ(pixels[30], 0);  // padding stays zero
    EXPECT_EQ(pixels[31], 0);
}

TEST(ColorDepth, FourBitPixelsTakeHighNibbleThenLowNibble)
{
    std::vector<DWORD> colors(16);
    for (DWORD i = 0; i < 16; ++i)
        colors[i] = 0x102030 + i * 0x010101;
    CDibImage image;
    ASSERT_TRUE(image.Attach(MakeDib(3, 1, 4, 0, colors, {0x2F, 0x70, 0, 0})));
    ASSERT_TRUE(image.ConvertTo24Bit());
    EXPECT_EQ(PixelAt(image, 0, 0), colors[2]);
    EXPECT_EQ(PixelAt(image, 1, 0), colors[15]);
    EXPECT_EQ(PixelAt(image, 2, 0), colors[7]);
    // Blue, green, red in the pixel's bytes.
    const std::vector<BYTE> pixels = Pixels(image);
    EXPECT_EQ(pixels[0], 0x32);
    EXPECT_EQ(pixels[1], 0x22);
    EXPECT_EQ(pixels[2], 0x12);
}

TEST(ColorDepth, EightAndThirtyTwoBitRowsKeepTheirOrderTopToBottom)
{
    // Two rows: the bottom row first in memory.
    CDibImage indexed;
    ASSERT_TRUE(indexed.Attach(MakeDib(2, 2, 8, 3, {0xFF0000, 0x00FF00, 0x0000FF}, {0, 1, 0, 0, 2, 0, 0, 0})));
    ASSERT_TRUE(indexed.ConvertTo24Bit());
    EXPECT_EQ(PixelAt(indexed, 0, 0), 0x0000FFu);
    EXPECT_EQ(PixelAt(indexed, 1, 0), 0xFF0000u);
    EXPECT_EQ(PixelAt(indexed, 0, 1), 0xFF0000u);
    EXPECT_EQ(PixelAt(indexed, 1, 1), 0x00FF00u);
    EXPECT_EQ(indexed.GetPalette() != nullptr, PaletteDisplay());

    CDibImage wide;
    ASSERT_TRUE(wide.Attach(MakeDib(1, 2, 32, 0, {}, {0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x00})));
    ASSERT_TRUE(wide.ConvertTo24Bit());
    EXPECT_EQ(wide.GetStride(), 4);
    EXPECT_EQ(Pixels(wide), (std::vector<BYTE>{0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0}));
}

TEST(ColorDepth, AnIndexBeyondThePaletteIsBlack)
{
    CDibImage image;
    ASSERT_TRUE(image.Attach(MakeDib(3, 1, 8, 2, {0xFFFFFF, 0x808080}, {1, 2, 255, 0})));
    ASSERT_TRUE(image.ConvertTo24Bit());
    EXPECT_EQ(PixelAt(image, 0, 0), 0x808080u);
    EXPECT_EQ(PixelAt(image, 1, 0), 0u);
    EXPECT_EQ(PixelAt(image, 2, 0), 0u);
}

TEST(ColorDepth, TwentyFourBitsStayAndOtherDepthsAreRefusedUnchanged)
{
    CDibImage image;
    EXPECT_FALSE(image.ConvertTo24Bit());  // empty

    HGLOBAL truecolour = MakeDib(2, 2, 24);
    ASSERT_TRUE(image.Attach(truecolour));
    ASSERT_TRUE(image.ConvertTo24Bit());
    EXPECT_EQ(image.GetHandle(), truecolour);

    HGLOBAL sixteen = MakeDib(2, 2, 16);
    ASSERT_TRUE(image.Attach(sixteen));
    const HPALETTE palette = image.GetPalette();
    EXPECT_FALSE(image.ConvertTo24Bit());
    EXPECT_EQ(image.GetHandle(), sixteen);
    EXPECT_EQ(image.GetPalette(), palette);
    EXPECT_EQ(image.GetBitCount(), 16);
    EXPECT_EQ(image.GetStride(), 4);

    if (!PaletteDisplay()) {
        // A biClrUsed of 65536 is a colour count of 0 (a 16-bit count): on a true-colour display
        // the 8-bit image then has no palette to take its colours from.
        HGLOBAL unpaletted = MakeDib(2, 2, 8, 0, {}, {});
        {
            CGlobalLock<BITMAPINFOHEADER> dib(unpaletted);
            dib->biClrUsed = 0x10000;
        }
        ASSERT_TRUE(image.Attach(unpaletted));
        ASSERT_EQ(image.GetPalette(), nullptr);
        const std::vector<BYTE> before = BlockBytes(unpaletted);
        EXPECT_FALSE(image.ConvertTo24Bit());
        EXPECT_EQ(image.GetHandle(), unpaletted);
        EXPECT_EQ(image.GetBitCount(), 8);
        EXPECT_EQ(BlockBytes(unpaletted), before);
    }
}

TEST(ColorDepth, PaletteCopyHoldsTheEntriesOnTheHeap)
{
    EXPECT_EQ(CopyPaletteEntries(nullptr), nullptr);
    CGdiObject<HPALETTE> halftone;
    {
        CWindowDC screen(nullptr);
        halftone.Reset(::CreateHalftonePalette(screen));
    }
    ASSERT_TRUE(halftone);
    CPaletteCopy copy(CopyPaletteEntries(halftone));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->palVersion, 0x300);
    PALETTEENTRY entries[256] = {};
    const UINT count = ::GetPaletteEntries(halftone, 0, 256, entries);
    ASSERT_EQ(copy->palNumEntries, count);
    EXPECT_EQ(std::memcmp(copy->palPalEntry, entries, count * sizeof(PALETTEENTRY)), 0);
}
