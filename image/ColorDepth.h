// Widening indexed and 32-bit pictures to 24 bits per pixel (CDibImage::ConvertTo24Bit lives in
// ColorDepth.cpp) and the pieces it is made of.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <memory>

struct CFreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using CPaletteCopy = std::unique_ptr<LOGPALETTE, CFreeDeleter>;

// The entries of a palette in a LOGPALETTE on the C heap (release with free); null for a null
// palette or when there is no memory.
LOGPALETTE* CopyPaletteEntries(HPALETTE hPalette);

// One colour per possible pixel index (0 to 255) as the three bytes of a 24-bit pixel: blue,
// green, red. Indices beyond the palette's entries are black, so that a pixel can never make
// the conversion read outside the palette.
struct CIndexColors {
    BYTE bgr[256][3];
};
void MakeIndexColors(const LOGPALETTE* palette, CIndexColors& colors);

// One row of 1, 4, 8 or 32 bits per pixel (pixels packed from the most significant bit) into
// width pixels of 24 bits from the start of dst; colors is used only for the indexed depths.
// False for any other bit count, with nothing written.
bool WidenRowTo24(const BYTE* src, BYTE* dst, int width, int bitCount, const CIndexColors& colors);
