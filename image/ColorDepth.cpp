#include "image/ColorDepth.h"

#include "framework/Handles.h"
#include "image/DibImage.h"

#include <cstddef>
#include <cstring>

LOGPALETTE* CopyPaletteEntries(HPALETTE hPalette)
{
    if (!hPalette)
        return nullptr;
    const UINT count = ::GetPaletteEntries(hPalette, 0, 0, nullptr);
    const size_t size = offsetof(LOGPALETTE, palPalEntry) + (count ? count : 1) * sizeof(PALETTEENTRY);
    auto* copy = static_cast<LOGPALETTE*>(std::malloc(size));
    if (!copy)
        return nullptr;
    copy->palVersion = 0x300;
    copy->palNumEntries = static_cast<WORD>(::GetPaletteEntries(hPalette, 0, count, copy->palPalEntry));
    return copy;
}

void MakeIndexColors(const LOGPALETTE* palette, CIndexColors& colors)
{
    std::memset(&colors, 0, sizeof colors);
    const UINT count = palette ? (palette->palNumEntries < 256 ? palette->palNumEntries : 256) : 0;
    for (UINT i = 0; i < count; ++i) {
        colors.bgr[i][0] = palette->palPalEntry[i].peBlue;
        colors.bgr[i][1] = palette->palPalEntry[i].peGreen;
        colors.bgr[i][2] = palette->palPalEntry[i].peRed;
    }
}

bool WidenRowTo24(const BYTE* src, BYTE* dst, int width, int bitCount, const CIndexColors& colors)
{
    switch (bitCount) {
    case 1:
        for (int x = 0; x < width; ++x, dst += 3) {
            const BYTE* c = colors.bgr[(src[x >> 3] >> (7 - (x & 7))) & 1];
            dst[0] = c[0], dst[1] = c[1], dst[2] = c[2];
        }
        return true;
    case 4:
        for (int x = 0; x < width; ++x, dst += 3) {
            const BYTE* c = colors.bgr[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)];
            dst[0] = c[0], dst[1] = c[1], dst[2] = c[2];
        }
        return true;
    case 8:
        for (int x = 0; x < width; ++x, dst += 3) {
            const BYTE* c = colors.bgr[src[x]];
            dst[0] = c[0], dst[1] = c[1], dst[2] = c[2];
        }
        return true;
    case 32:
        for (int x = 0; x < width; ++x, dst += 3, src += 4)
            dst[0] = src[0], dst[1] = src[1], dst[2] = src[2];
        return true;
    default:
        return false;
    }
}

BOOL CDibImage::ConvertTo24Bit()
{
    if (!m_hDib)
        return FALSE;
    if (m_nBitCount == 24)
        return TRUE;
    if (m_nBitCount != 1 && m_nBitCount != 4 && m_nBitCount != 8 && m_nBitCount != 32)
        return FALSE;
    CPaletteCopy palette(CopyPaletteEntries(m_hPalette));
    if (m_nBitCount < 16 && !palette)
        return FALSE;

    CDibImage target;
    if (!target.Create(m_nWidth, m_nHeight, 24))
        return FALSE;
    {
        CGlobalLock<BITMAPINFOHEADER> source(m_hDib);
        CGlobalLock<BITMAPINFOHEADER> dest(target.m_hDib);
        if (!source || !dest || !DibFitsBlock(source.Get(), ::GlobalSize(m_hDib)))
            return FALSE;
        auto colors = std::make_unique<CIndexColors>();
        MakeIndexColors(palette.get(), *colors);

        // Top row of the picture first in both blocks: the last row in memory.
        const BYTE* srcRow = DibBits(source.Get()) + static_cast<ptrdiff_t>(m_nHeight - 1) * m_nStride;
        BYTE* dstRow = DibBits(dest.Get()) + static_cast<ptrdiff_t>(m_nHeight - 1) * target.m_nStride;
        for (int y = 0; y < m_nHeight; ++y, srcRow -= m_nStride, dstRow -= target.m_nStride)
            WidenRowTo24(srcRow, dstRow, m_nWidth, m_nBitCount, *colors);
    }
    // The new block is this image's now; the target lets go of it and keeps only its own
    // halftone palette, which goes with it.
    return Attach(target.m_hDib.Detach());
}
