// Windows bitmap files: a 14-byte file header, then the packed DIB as it lies in memory.
// (CDibImage::Save lives in BmpWriter.cpp.)
#pragma once

#include "framework/File.h"

#include <windows.h>

// Writes the file header and the block at the file's current position: Done, or the file's
// failure. A null block, one that cannot be locked, one whose header is not the 40-byte kind
// and one smaller than its header says are refused (the generic failure) with nothing written.
Outcome WriteDib(HGLOBAL hDib, CFile& file);

// The sizes of the file for a DIB header: the rows (for RLE compression, biSizeImage as it
// stands), the whole DIB (header, colour table, rows), and the file header.
struct CBmpLayout {
    unsigned long long imageSize;
    unsigned long long dibSize;
    BITMAPFILEHEADER fileHeader;
};
CBmpLayout BmpLayout(const BITMAPINFOHEADER& header);

// Whether a path names a bitmap file: its extension (from the file name's last dot) is .bmp or
// .dib in any case.
BOOL IsBitmapFileName(LPCSTR path);
