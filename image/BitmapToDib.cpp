#include "image/BitmapToDib.h"

#include "framework/Handles.h"
#include "image/DibImage.h"

#include <algorithm>

namespace {
// Selects and realises a palette in a device context for one conversion and puts the old one
// back afterwards, realised again or not as the caller wants.
class CSelectPalette : CScopeGuardBase
{
public:
    CSelectPalette(HDC hdc, HPALETTE hPalette, bool realizeOnRestore, BOOL backgroundOnRestore)
        : m_hdc(hdc), m_hOld(::SelectPalette(hdc, hPalette, FALSE)), m_bRealize(realizeOnRestore),
          m_bBackground(backgroundOnRestore)
    {
        ::RealizePalette(hdc);
    }
    ~CSelectPalette()
    {
        if (!m_hOld)
            return;
        ::SelectPalette(m_hdc, m_hOld, m_bBackground);
        if (m_bRealize)
            ::RealizePalette(m_hdc);
    }

private:
    HDC m_hdc;
    HPALETTE m_hOld;
    bool m_bRealize;
    BOOL m_bBackground;
};

bool ReadBitmap(HBITMAP hBitmap, BITMAP& bitmap)
{
    // sizeof(BITMAP): 24 bytes in the 32-bit program, 32 where pointers are 8 bytes.
    return hBitmap && ::GetObjectA(hBitmap, sizeof bitmap, &bitmap) != 0;
}

DWORD RowsSize(int bitCount, LONG width, LONG height)
{
    return static_cast<DWORD>(DibStride(width, bitCount)) * static_cast<DWORD>(height);
}

// A block enlarged with GlobalReAlloc: the new handle, or null with the old block still owned.
bool Reallocate(CGlobalMemory& block, SIZE_T size, UINT flags)
{
    HGLOBAL bigger = ::GlobalReAlloc(block, size, flags);
    if (!bigger)
        return false;
    block.Detach();
    block.Reset(bigger);
    return true;
}
}  // namespace

WORD StillDibDepth(int sourceDepth)
{
    if (sourceDepth <= 1)
        return 1;
    if (sourceDepth <= 4)
        return 4;
    if (sourceDepth <= 8)
        return 8;
    return 24;
}

BITMAPINFOHEADER StillDibHeader(const BITMAP& bitmap)
{
    const WORD source = static_cast<WORD>(bitmap.bmPlanes * bitmap.bmBitsPixel);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = bitmap.bmWidth;
    header.biHeight = bitmap.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = StillDibDepth(source);
    header.biCompression = BI_RGB;
    header.biSizeImage = RowsSize(source, bitmap.bmWidth, bitmap.bmHeight);
    header.biClrUsed = DibFullColorCount(header.biBitCount);
    return header;
}

BITMAPINFOHEADER FrameDibHeader(const BITMAP& bitmap, DWORD compression)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = bitmap.bmWidth;
    header.biHeight = bitmap.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitmap.bmPlanes * bitmap.bmBitsPixel);
    header.biCompression = compression;
    return header;
}

DWORD FrameDibImageSize(const BITMAPINFOHEADER& header)
{
    DWORD size = RowsSize(header.biBitCount, header.biWidth, header.biHeight);
    if (header.biCompression != BI_RGB)
        size = size * 3 / 2;
    return size;
}

HGLOBAL BitmapToDib(HBITMAP hBitmap, HPALETTE hPalette)
{
    BITMAP bitmap = {};
    if (!ReadBitmap(hBitmap, bitmap))
        return nullptr;
    if (!hPalette)
        hPalette = static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));

    BITMAPINFOHEADER header = StillDibHeader(bitmap);
    const WORD depth = header.biBitCount;

    CClientDC screen(nullptr);
    if (!screen)
        return nullptr;
    CSelectPalette palette(screen, hPalette, true, TRUE);

    CGlobalMemory block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, header.biSize + DibColorTableSize(&header)));
    {
        CGlobalLock<BITMAPINFOHEADER> dib(block);
        if (!dib)
            return nullptr;
        // The system fills in the header and colour table; its result is not needed here, a
        // bitmap it cannot read fails below.
        *dib.Get() = header;
        ::GetDIBits(screen, hBitmap, 0, static_cast<UINT>(header.biHeight), nullptr,
                    reinterpret_cast<BITMAPINFO*>(dib.Get()), DIB_RGB_COLORS);
        header = *dib.Get();
        header.biClrUsed = DibFullColorCount(depth);
    }
    // Room for all rows at the DIB's depth even when the system announced less: the second call
    // writes that much.
    const DWORD rows = RowsSize(depth, bitmap.bmWidth, bitmap.bmHeight);
    if (header.biSizeImage < rows)
        header.biSizeImage = rows;

    if (!Reallocate(block, header.biSize + DibColorTableSize(&header) + header.biSizeImage, 0))
        return nullptr;
    {
        CGlobalLock<BITMAPINFOHEADER> dib(block);
        if (!dib)
            return nullptr;
        if (::GetDIBits(screen, hBitmap, 0, static_cast<UINT>(header.biHeight), DibBits(dib.Get()),
                        reinterpret_cast<BITMAPINFO*>(dib.Get()), DIB_RGB_COLORS) == 0)
            return nullptr;
    }
    return block.Detach();
}

CFrameDib BitmapToFrameDib(HBITMAP hBitmap, DWORD compression, HPALETTE hPalette, WORD bitCount)
{
    if (compression == BI_BITFIELDS)
        return CFrameDib();
    if (!hPalette)
        hPalette = static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
    BITMAP bitmap = {};
    if (!ReadBitmap(hBitmap, bitmap))
        return CFrameDib();

    BITMAPINFOHEADER header = FrameDibHeader(bitmap, compression);
    if (bitCount)
        header.biBitCount = bitCount;
    const DWORD tableSize = DibFullColorCount(header.biBitCount) * static_cast<DWORD>(sizeof(RGBQUAD));

    CClientDC screen(nullptr);
    if (!screen)
        return CFrameDib();
    CSelectPalette palette(screen, hPalette, false, FALSE);

    CGlobalMemory block(::GlobalAlloc(GMEM_FIXED, header.biSize + tableSize));
    if (!block)
        return CFrameDib();
    auto* dib = static_cast<BITMAPINFOHEADER*>(static_cast<void*>(block.Get()));
    *dib = header;
    ::GetDIBits(screen, hBitmap, 0, static_cast<UINT>(header.biHeight), nullptr, reinterpret_cast<BITMAPINFO*>(dib),
                DIB_RGB_COLORS);
    header = *dib;
    if (header.biSizeImage == 0)
        header.biSizeImage = FrameDibImageSize(header);

    if (!Reallocate(block, header.biSize + tableSize + header.biSizeImage, GMEM_MOVEABLE))
        return CFrameDib();
    dib = static_cast<BITMAPINFOHEADER*>(static_cast<void*>(block.Get()));
    if (::GetDIBits(screen, hBitmap, 0, static_cast<UINT>(header.biHeight),
                    reinterpret_cast<BYTE*>(dib) + sizeof(BITMAPINFOHEADER) + tableSize,
                    reinterpret_cast<BITMAPINFO*>(dib), DIB_RGB_COLORS) == 0)
        return CFrameDib();
    return CFrameDib(static_cast<BITMAPINFOHEADER*>(static_cast<void*>(block.Detach())));
}

WORD BitmapRowsDepth(int sourceDepth)
{
    if (sourceDepth <= 8)
        return 0;
    return sourceDepth == 32 ? 32 : 24;
}

namespace {
// All zero for a handle that is no bitmap: no rows of it are read.
BITMAP DescribeBitmap(HBITMAP hBitmap)
{
    BITMAP bitmap = {};
    ReadBitmap(hBitmap, bitmap);
    return bitmap;
}
}  // namespace

CBitmapRows::CBitmapRows(HBITMAP hBitmap, DWORD stripBytes) : CBitmapRows(hBitmap, DescribeBitmap(hBitmap), stripBytes)
{
}

CBitmapRows::CBitmapRows(HBITMAP hBitmap, const BITMAP& bitmap, DWORD stripBytes)
    : CPngRows(bitmap.bmWidth, bitmap.bmHeight, BitmapRowsDepth(bitmap.bmPlanes * bitmap.bmBitsPixel) / 8),
      m_hBitmap(hBitmap), m_screen(nullptr)
{
    if (GetBytesPerPixel() == 0 || GetWidth() <= 0 || GetHeight() <= 0 || !m_screen)
        return;
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biWidth = GetWidth();
    m_header.biHeight = GetHeight();  // bottom-up, as BitmapToDib reads
    m_header.biPlanes = 1;
    m_header.biBitCount = static_cast<WORD>(GetBytesPerPixel() * 8);
    m_header.biCompression = BI_RGB;
    m_nStride = DibStride(GetWidth(), m_header.biBitCount);
    m_nStripRows = std::min(GetHeight(), std::max(1, static_cast<int>(stripBytes / static_cast<DWORD>(m_nStride))));
    m_buffer.Reset(static_cast<BYTE*>(::GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(m_nStride) * m_nStripRows)));
    if (m_buffer)
        ReadStrip(0);
}

bool CBitmapRows::ReadStrip(int y)
{
    m_nStripFirst = -1;
    const int first = y / m_nStripRows * m_nStripRows;
    const int count = std::min(m_nStripRows, GetHeight() - first);
    // GetDIBits counts scan lines from the bottom of a bottom-up picture: the strip's top row
    // is its last scan line.
    const UINT start = static_cast<UINT>(GetHeight() - first - count);
    BITMAPINFOHEADER header = m_header;  // the system may write into it
    if (::GetDIBits(m_screen, m_hBitmap, start, static_cast<UINT>(count), m_buffer.Get(),
                    reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) != count)
        return false;
    m_nStripFirst = first;
    m_nStripCount = count;
    return true;
}

const BYTE* CBitmapRows::Row(int y)
{
    if (!m_buffer || y < 0 || y >= GetHeight())
        return nullptr;
    if ((m_nStripFirst < 0 || y < m_nStripFirst || y >= m_nStripFirst + m_nStripCount) && !ReadStrip(y))
        return nullptr;
    // Bottom-up in the buffer too: the strip's top row comes last.
    return m_buffer.Get() + static_cast<ptrdiff_t>(m_nStripFirst + m_nStripCount - 1 - y) * m_nStride;
}

BOOL CDibImage::CreateFromBitmap(HBITMAP hBitmap, HPALETTE hPalette)
{
    HGLOBAL hDib = BitmapToDib(hBitmap, hPalette);
    if (!hDib)
        return FALSE;
    return Attach(hDib);
}
