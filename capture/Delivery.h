// Where a captured picture goes: the clipboard, or a file (one overwritten file, or numbered
// files), chosen by the settings; and the shutter sound that confirms every capture.
#pragma once

#include "capture/CaptureSettings.h"

#include <windows.h>

#include <string>

// Takes over the bitmap: it ends on the clipboard or is deleted. The shutter sound says that
// the picture arrived; a picture that did not arrive plays no sound and the user is told why
// (stop icon, the program's name as caption). A numbered file uses up the next number of
// settings.m_nLastNumber, also when it cannot be written.
void DeliverBitmap(HBITMAP bitmap, CaptureSettings& settings);

// The next file name into buffer (MAX_PATH characters): the target file, or directory, prefix,
// number and extension, the number taken from and stored back into lastNumber. False when the
// name would not fit the buffer (buffer then empty; the number is used up all the same).
bool BuildFileName(const CaptureSettings& settings, int& lastNumber, char* buffer);

// The number of the next numbered file after lastNumber.
int NextFileNumber(int lastNumber, int baseNumber);
// directory\prefix<number padded with zeros to digits><extension>; a directory that ends in
// a backslash gets no second one, a number longer than digits is written whole. The directory
// is text of the code page (the system's ANSI code page by default).
std::string NumberedFileName(const std::string& directory, const std::string& prefix, int number, int digits,
                             const std::string& extension, UINT codePage = CP_ACP);
// Whether the name ends in ".bmp", in any case: such a file is written as a bitmap, every
// other name as PNG.
bool IsBmpFileName(const std::string& name);

// How long a capture waits for a clipboard that another program holds open for a moment.
const DWORD kClipboardPatienceMs = 500;

// Plays the shutter sound and returns when it has played.
void PlayShutter();
