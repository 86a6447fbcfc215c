// PNG files through libpng: 8-bit truecolour without alpha, palette or optional chunks, at the
// library's default compression and filters.
#pragma once

#include "framework/Outcome.h"

#include <windows.h>

#include <cstdio>

class CDibImage;

// The rows of a picture to be written, in the order the system keeps its pixels: blue, green,
// red, and with 4 bytes per pixel a fourth byte that is not written. libpng puts them in the
// file's order row by row as it encodes, so no pass over the whole picture is needed for it.
class CPngRows
{
public:
    CPngRows(int width, int height, int bytesPerPixel)
        : m_nWidth(width), m_nHeight(height), m_nBytesPerPixel(bytesPerPixel)
    {
    }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBytesPerPixel() const { return m_nBytesPerPixel; }
    // Row y of the picture (0 is the top), asked for once each, top row first; valid until the
    // next call. Null when it cannot be had, which fails the writing.
    virtual const BYTE* Row(int y) = 0;

protected:
    ~CPngRows() = default;

private:
    int m_nWidth, m_nHeight, m_nBytesPerPixel;
};

// Creates (or empties) the file, writes the image into it and closes it: Done, or why not: the
// file cannot be created, the PNG could not be written, or closing it failed (the last buffered
// bytes go out then); the generic failure for an image that the encoder refused.
Outcome SavePng(LPCSTR path, CDibImage& image);
// The same for rows of 3 or 4 bytes per pixel; the generic failure also when a row could not
// be had.
Outcome SavePng(LPCSTR path, CPngRows& rows);

// Writes a 24-bit image as PNG into an open stream, top row first. The image's pixels are left
// in red-green-blue order. FALSE, before anything is written, for an image with no block or
// not at 24 bits per pixel; FALSE when libpng reports an error.
BOOL WritePng(FILE* stream, CDibImage& image);
// The same for rows: FALSE, before anything is written, for an empty picture or a pixel size
// other than 3 or 4 bytes; FALSE when a row could not be had or libpng reports an error.
BOOL WritePng(FILE* stream, CPngRows& rows);
