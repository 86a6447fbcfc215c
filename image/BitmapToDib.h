// Device-dependent bitmaps (the display's own format) to packed DIBs, through GetDIBits on the
// screen's device context with a palette selected. The bitmap is only read.
#pragma once

#include "framework/Handles.h"
#include "image/PngWriter.h"

#include <windows.h>

// For still pictures: a DIB of 1, 4, 8 or 24 bits per pixel (the bitmap's depth rounded up),
// in a movable, zero-filled block that the caller owns; null on failure. A null palette means
// the stock default palette.
HGLOBAL BitmapToDib(HBITMAP hBitmap, HPALETTE hPalette);

// A video frame: a DIB in a fixed global block, used through its pointer.
using CFrameDib = CFixedBlock<BITMAPINFOHEADER>;

// For video frames: a DIB at the bitmap's own depth in a fixed block (the pointer is also the
// handle), its rows 40 + 4 × (colour count) bytes after the start; empty on failure and for
// BI_BITFIELDS. A bitCount other than 0 asks for that depth instead (32: what the lossless coder
// takes, on any display).
CFrameDib BitmapToFrameDib(HBITMAP hBitmap, DWORD compression, HPALETTE hPalette, WORD bitCount = 0);

// The headers the two ask GetDIBits to fill in, from the bitmap's description.
WORD StillDibDepth(int sourceDepth);
BITMAPINFOHEADER StillDibHeader(const BITMAP& bitmap);
BITMAPINFOHEADER FrameDibHeader(const BITMAP& bitmap, DWORD compression);
// The bytes a frame's rows take when the system leaves biSizeImage 0: stride × height, and half
// as much again as room for compressed data.
DWORD FrameDibImageSize(const BITMAPINFOHEADER& header);

// The depth at which a bitmap of sourceDepth bits per pixel is read for a PNG file straight
// from the bitmap: 32 from 32 bits (a plain copy of its pixels), 24 from 16 and 24 bits (the
// conversion BitmapToDib makes), so that the file is the one the widened image gives. 0 for 8
// bits and fewer: their colours come through the palette (BitmapToDib, then ConvertTo24Bit).
WORD BitmapRowsDepth(int sourceDepth);

// The rows of a bitmap of more than 8 bits per pixel for a PNG file, read through GetDIBits a
// strip at a time into one small buffer: the picture is never copied whole, and each strip is
// still in the processor's cache when libpng takes its rows. The bitmap is only read, and must
// outlive this.
class CBitmapRows final : public CPngRows
{
public:
    // About as many bytes as a strip takes: small enough for the cache, large enough that the
    // calls into the system are few.
    static const DWORD kStripBytes = 128 * 1024;

    // Reads the first strip at once, so that a bitmap that cannot be read is known before a
    // file is made.
    explicit CBitmapRows(HBITMAP hBitmap, DWORD stripBytes = kStripBytes);
    // False for no bitmap, one of 8 bits per pixel or fewer, or one that could not be read.
    bool IsOpen() const { return m_nStripFirst >= 0; }
    const BYTE* Row(int y) override;

private:
    CBitmapRows(HBITMAP hBitmap, const BITMAP& bitmap, DWORD stripBytes);
    bool ReadStrip(int y);

    HBITMAP m_hBitmap;
    CClientDC m_screen;
    BITMAPINFOHEADER m_header = {};
    int m_nStride = 0;
    int m_nStripRows = 0;
    CFixedBlock<BYTE> m_buffer;
    int m_nStripFirst = -1;  // the picture row (0 at the top) of the strip's top row
    int m_nStripCount = 0;
};
