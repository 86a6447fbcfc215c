// Helpers of the image tests: packed DIBs built byte by byte, and the structure of PNG files.
// Files, the scratch directory and host programs are in support/Files.h.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace image_testing {

// A packed DIB in a movable block: a 40-byte header (biSizeImage 0), clrUsed colour table
// entries (colors: 0xRRGGBB each, missing ones black), then rows bottom-up as given (each
// exactly the stride long; missing bytes zero). The caller owns the block.
HGLOBAL MakeDib(int width, int height, WORD bitCount, DWORD clrUsed = 0,
                const std::vector<DWORD>& colors = {}, const std::vector<BYTE>& rows = {});

// A copy of a block's bytes.
std::vector<BYTE> BlockBytes(HGLOBAL hDib);
BITMAPINFOHEADER BlockHeader(HGLOBAL hDib);

// The chunk types of a PNG file in their order; empty when the signature is wrong or a chunk
// runs past the end.
std::vector<std::string> PngChunks(const std::vector<BYTE>& file);
// The fields of a PNG file's IHDR (width, height, bit depth, colour type, compression, filter,
// interlace); false when there is none first.
struct CPngHeader {
    DWORD width, height;
    BYTE bitDepth, colorType, compression, filter, interlace;
};
bool ReadPngHeader(const std::vector<BYTE>& file, CPngHeader& header);

}  // namespace image_testing
