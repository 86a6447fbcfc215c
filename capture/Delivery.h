// Where a captured picture goes: the clipboard, or a file (one overwritten file, or numbered
// files), chosen by the settings; and the shutter sound that confirms every capture.
#pragma once

#include <windows.h>

#include <string>

// Takes over the bitmap: it ends on the clipboard or is deleted.
void DeliverBitmap(HBITMAP bitmap);

// The next file name into buffer (MAX_PATH characters): the target file, or directory, prefix,
// number and extension, the number used up. False when the name would not fit the buffer
// (buffer then empty).
bool BuildFileName(char* buffer);

// The number of the next numbered file after lastNumber.
int NextFileNumber(int lastNumber, int baseNumber);
// directory\prefix<number padded with zeros to digits><extension>; a directory that ends in
// a backslash gets no second one, a number longer than digits is written whole.
std::string NumberedFileName(const std::string& directory, const std::string& prefix, int number, int digits,
                             const std::string& extension);
// Whether the name ends in ".bmp", in any case: such a file is written as a bitmap, every
// other name as PNG.
bool IsBmpFileName(const std::string& name);

// Plays the shutter sound and returns when it has played.
void PlayShutter();
