// Device-dependent bitmaps (the display's own format) to packed DIBs, through GetDIBits on the
// screen's device context with a palette selected. The bitmap is only read.
#pragma once

#include "framework/Handles.h"

#include <windows.h>

// For still pictures: a DIB of 1, 4, 8 or 24 bits per pixel (the bitmap's depth rounded up),
// in a movable, zero-filled block that the caller owns; null on failure. A null palette means
// the stock default palette.
HGLOBAL BitmapToDib(HBITMAP hBitmap, HPALETTE hPalette);

// A video frame: a DIB in a fixed global block, used through its pointer.
using CFrameDib = CFixedBlock<BITMAPINFOHEADER>;

// For video frames: a DIB at the bitmap's own depth in a fixed block (the pointer is also the
// handle), its rows 40 + 4 × (colour count) bytes after the start; empty on failure and for
// BI_BITFIELDS.
CFrameDib BitmapToFrameDib(HBITMAP hBitmap, DWORD compression, HPALETTE hPalette);

// The headers the two ask GetDIBits to fill in, from the bitmap's description.
WORD StillDibDepth(int sourceDepth);
BITMAPINFOHEADER StillDibHeader(const BITMAP& bitmap);
BITMAPINFOHEADER FrameDibHeader(const BITMAP& bitmap, DWORD compression);
// The bytes a frame's rows take when the system leaves biSizeImage 0: stride × height, and half
// as much again as room for compressed data.
DWORD FrameDibImageSize(const BITMAPINFOHEADER& header);
