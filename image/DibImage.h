// One picture as a packed device-independent bitmap in a movable global memory block: a
// 40-byte BITMAPINFOHEADER, the colour table, then the pixel rows bottom-up, each padded to a
// whole number of 32-bit words. The block is locked only for the length of one operation.
#pragma once

#include "framework/Handles.h"
#include "framework/Outcome.h"

#include <windows.h>

class CDibImage
{
public:
    CDibImage() = default;
    ~CDibImage() { Free(); }
    CDibImage(const CDibImage&) = delete;
    CDibImage& operator=(const CDibImage&) = delete;

    // Releases the palette and the block; the numbers stay as they were.
    void Free();
    // Takes ownership of a packed DIB (the caller must not free it any more) and makes its
    // palette. FALSE for a null block, which leaves the image empty.
    BOOL Attach(HGLOBAL hDib);
    // A blank image of a bit count above 8 (there is no room for a colour table), all rows
    // zero, with a halftone palette.
    BOOL Create(int width, int height, WORD bitCount);
    // Blue-green-red pixels become red-green-blue in place (and back); 24-bit images only.
    BOOL SwapRedBlue();

    // From a device-dependent bitmap, which is neither kept nor deleted (BitmapToDib.cpp).
    BOOL CreateFromBitmap(HBITMAP hBitmap, HPALETTE hPalette);
    // Widens 1, 4, 8 and 32 bits per pixel to 24; a 24-bit image is left alone (ColorDepth.cpp).
    BOOL ConvertTo24Bit();
    // Writes a .bmp or .dib file (BmpWriter.cpp): Done, or why the file was not written (the
    // generic failure for an empty image or another name).
    Outcome Save(LPCSTR path);

    HGLOBAL GetHandle() const { return m_hDib.Get(); }
    HPALETTE GetPalette() const { return m_hPalette.Get(); }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetStride() const { return m_nStride; }
    int GetBitCount() const { return m_nBitCount; }

private:
    CGlobalMemory m_hDib;
    CPaletteHandle m_hPalette;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nStride = 0;
    int m_nBitCount = 0;
};

// The header arithmetic of a locked block.

// Entries of the colour table: biClrUsed when set (a 16-bit count), else 2, 16 or 256 for 1, 4
// and 8 bits per pixel, else none.
WORD DibColorCount(const BITMAPINFOHEADER* pbi);
// Bytes of the colour table.
DWORD DibColorTableSize(const BITMAPINFOHEADER* pbi);
// The first pixel row: after the header and the colour table.
BYTE* DibBits(BITMAPINFOHEADER* pbi);
const BYTE* DibBits(const BITMAPINFOHEADER* pbi);

// Bytes per row: the row's bits rounded up to whole 32-bit words.
int DibStride(int width, int bitCount);
// Colour table entries of a bit count: 2, 16, 256, or 0 above 8 bits.
WORD DibFullColorCount(int bitCount);
// Whether a block of blockSize bytes really holds what its header says: a bottom-up picture of
// positive width and height whose header, colour table and biHeight rows all lie inside the
// block. Code that walks the rows asks this first, so that a wrong header cannot make it read
// or write outside the block.
bool DibFitsBlock(const BITMAPINFOHEADER* pbi, SIZE_T blockSize);

// A palette of the block's colour table; for a block without one, the halftone palette on a
// palette display and none on a true-colour display. Null also when none could be made.
HPALETTE CreateDibPalette(HGLOBAL hDib);
