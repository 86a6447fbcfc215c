#include "image/DibImage.h"

#include <cstddef>

namespace {
const DWORD kInfoHeaderSize = sizeof(BITMAPINFOHEADER);  // 40

// The halftone palette of the screen's device context when the display works with a palette;
// null (and no error) on a true-colour display.
HPALETTE ScreenHalftonePalette(bool alsoOnTrueColour)
{
    CWindowDC screen(nullptr);
    if (!screen)
        return nullptr;
    if (!alsoOnTrueColour && !(::GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE))
        return nullptr;
    return ::CreateHalftonePalette(screen);
}
}  // namespace

WORD DibFullColorCount(int bitCount)
{
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

WORD DibColorCount(const BITMAPINFOHEADER* pbi)
{
    if (pbi->biClrUsed != 0)
        return static_cast<WORD>(pbi->biClrUsed);
    return DibFullColorCount(pbi->biBitCount);
}

DWORD DibColorTableSize(const BITMAPINFOHEADER* pbi)
{
    return DibColorCount(pbi) * static_cast<DWORD>(sizeof(RGBQUAD));
}

BYTE* DibBits(BITMAPINFOHEADER* pbi)
{
    return reinterpret_cast<BYTE*>(pbi) + pbi->biSize + DibColorTableSize(pbi);
}

const BYTE* DibBits(const BITMAPINFOHEADER* pbi)
{
    return reinterpret_cast<const BYTE*>(pbi) + pbi->biSize + DibColorTableSize(pbi);
}

int DibStride(int width, int bitCount)
{
    // 64-bit arithmetic: a width near the int range must not overflow on the way.
    return static_cast<int>((static_cast<long long>(width) * bitCount + 31) / 32 * 4);
}

bool DibFitsBlock(const BITMAPINFOHEADER* pbi, SIZE_T blockSize)
{
    if (blockSize < kInfoHeaderSize || pbi->biSize < kInfoHeaderSize || pbi->biWidth <= 0 || pbi->biHeight <= 0 ||
        pbi->biBitCount == 0)
        return false;
    const unsigned long long stride =
        (static_cast<unsigned long long>(pbi->biWidth) * pbi->biBitCount + 31) / 32 * 4;
    const unsigned long long needed = static_cast<unsigned long long>(pbi->biSize) + DibColorTableSize(pbi) +
                                      stride * static_cast<unsigned long long>(pbi->biHeight);
    return stride <= 0x7FFFFFFF && needed <= blockSize;
}

HPALETTE CreateDibPalette(HGLOBAL hDib)
{
    CGlobalLock<BITMAPINFOHEADER> dib(hDib);
    if (!dib)
        return nullptr;
    const WORD count = DibColorCount(dib.Get());
    if (count == 0)
        return ScreenHalftonePalette(false);

    // A colour table that would reach beyond the block makes no palette.
    const SIZE_T blockSize = ::GlobalSize(hDib);
    if (blockSize < kInfoHeaderSize || dib->biSize > blockSize ||
        blockSize - dib->biSize < DibColorTableSize(dib.Get()))
        return nullptr;

    CGlobalMemory logical(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                                        offsetof(LOGPALETTE, palPalEntry) + count * sizeof(PALETTEENTRY)));
    CGlobalLock<LOGPALETTE> palette(logical);
    if (!palette)
        return nullptr;
    palette->palVersion = 0x300;
    palette->palNumEntries = count;
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(dib.Get()) + dib->biSize);
    for (WORD i = 0; i < count; ++i) {
        palette->palPalEntry[i].peRed = table[i].rgbRed;
        palette->palPalEntry[i].peGreen = table[i].rgbGreen;
        palette->palPalEntry[i].peBlue = table[i].rgbBlue;
        palette->palPalEntry[i].peFlags = 0;
    }
    return ::CreatePalette(palette.Get());
}

void CDibImage::Free()
{
    m_hPalette.Reset();
    m_hDib.Reset();
}

BOOL CDibImage::Attach(HGLOBAL hDib)
{
    Free();
    if (!hDib)
        return FALSE;
    m_hDib.Reset(hDib);
    {
        CGlobalLock<BITMAPINFOHEADER> dib(hDib);
        if (!dib) {
            // Not a block this image can read: it is still ours to release.
            m_hDib.Reset();
            return FALSE;
        }
        m_nWidth = dib->biWidth;
        m_nHeight = dib->biHeight;
        m_nBitCount = dib->biBitCount;
    }
    m_nStride = DibStride(m_nWidth, m_nBitCount);
    m_hPalette.Reset(CreateDibPalette(hDib));
    return TRUE;
}

BOOL CDibImage::Create(int width, int height, WORD bitCount)
{
    Free();
    // Without room for a colour table an indexed image would send readers past the block.
    if (bitCount <= 8 || width < 0 || height < 0)
        return FALSE;
    m_hPalette.Reset(ScreenHalftonePalette(true));
    if (!m_hPalette)
        return FALSE;

    BITMAPINFOHEADER header = {};
    header.biSize = kInfoHeaderSize;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    header.biClrUsed = header.biClrImportant = DibFullColorCount(bitCount);

    m_nWidth = width;
    m_nHeight = height;
    m_nBitCount = bitCount;
    m_nStride = DibStride(width, bitCount);

    const unsigned long long size = 44 + static_cast<unsigned long long>(m_nStride) * static_cast<unsigned>(height);
    if (m_nStride < 0 || size > static_cast<SIZE_T>(-1))
        return FALSE;
    m_hDib.Reset(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size)));
    CGlobalLock<BITMAPINFOHEADER> dib(m_hDib);
    if (!dib) {
        m_hDib.Reset();
        return FALSE;
    }
    *dib.Get() = header;
    return TRUE;
}

BOOL CDibImage::SwapRedBlue()
{
    if (!m_hDib || m_nBitCount != 24)
        return FALSE;
    CGlobalLock<BITMAPINFOHEADER> dib(m_hDib);
    if (!dib || !DibFitsBlock(dib.Get(), ::GlobalSize(m_hDib)))
        return FALSE;
    BYTE* row = DibBits(dib.Get());
    for (int y = 0; y < m_nHeight; ++y, row += m_nStride) {
        BYTE* pixel = row;
        for (int x = 0; x < m_nWidth; ++x, pixel += 3) {
            const BYTE blue = pixel[0];
            pixel[0] = pixel[2];
            pixel[2] = blue;
        }
    }
    return TRUE;
}
