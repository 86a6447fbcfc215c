// PNG files through libpng: 8-bit truecolour without alpha, palette or optional chunks, at the
// library's default compression and filters.
#pragma once

#include "framework/Outcome.h"

#include <windows.h>

#include <cstdio>

class CDibImage;

// Creates (or empties) the file, writes the image into it and closes it: Done, or why not: the
// file cannot be created, the PNG could not be written, or closing it failed (the last buffered
// bytes go out then); the generic failure for an image that the encoder refused.
Outcome SavePng(LPCSTR path, CDibImage& image);

// Writes a 24-bit image as PNG into an open stream, top row first. The image's pixels are left
// in red-green-blue order. FALSE, before anything is written, for an image with no block or
// not at 24 bits per pixel; FALSE when libpng reports an error.
BOOL WritePng(FILE* stream, CDibImage& image);
