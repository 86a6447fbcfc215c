// PNG files through libpng: 8-bit truecolour without alpha, palette or optional chunks, at the
// library's default compression and filters.
#pragma once

#include <windows.h>

#include <cstdio>

class CDibImage;
class CFileException;

// Creates (or empties) the file, writes the image into it and closes it. FALSE when the file
// cannot be created, when the PNG could not be written, or when closing it fails (the last
// buffered bytes go out then); with `failure` given it then holds the cause (generic for an
// image that the encoder refused).
BOOL SavePng(LPCSTR path, CDibImage& image, CFileException* failure = nullptr);

// Writes a 24-bit image as PNG into an open stream, top row first. The image's pixels are left
// in red-green-blue order. FALSE, before anything is written, for an image with no block or
// not at 24 bits per pixel; FALSE when libpng reports an error.
BOOL WritePng(FILE* stream, CDibImage& image);
