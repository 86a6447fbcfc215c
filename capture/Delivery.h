// Where a result goes: a picture to the clipboard or into a file (one overwritten file, or
// numbered files), chosen by the settings; a text to the clipboard. Delivery says what became
// of the result and tells the user nothing itself.
#pragma once

#include "capture/CaptureSettings.h"
#include "framework/Handles.h"
#include "framework/Outcome.h"

#include <windows.h>

#include <string>

// The picture alone on the clipboard (owned by `owner`), or written to its file when "Save
// result into file" is on: Done when it arrived, else why not (ClipboardFailed, OutOfMemory,
// or the file's failure). A numbered file uses up the next number of lastNumber, also when it
// cannot be written. The bitmap ends on the clipboard or is deleted.
Outcome DeliverBitmap(CBitmapHandle picture, const CaptureSettings& settings, int& lastNumber, HWND owner);

// The text (UTF-8) alone on the clipboard (owned by `owner`), as CF_UNICODETEXT with every
// character and as CF_TEXT in the ANSI code page: Done, ClipboardFailed, or OutOfMemory (then
// the clipboard keeps what it held).
Outcome DeliverText(const std::string& text, HWND owner);

// The next file name (UTF-8) into buffer (kFileNameBytes): the target file, or directory,
// prefix, number and extension, the number taken from and stored back into lastNumber. False
// when the name is longer than the system allows a path, MAX_PATH - 1 characters (buffer then
// empty; the number is used up all the same).
const size_t kFileNameBytes = MAX_PATH * kUtf8BytesPerUnit;
bool BuildFileName(const CaptureSettings& settings, int& lastNumber, char* buffer);

// The number of the next numbered file after lastNumber; from the last number a file gets
// (kLastFileNumber) on, that one again.
int NextFileNumber(int lastNumber, int baseNumber);
// Whether the choices name the same series of numbered files (directory, prefix, base number,
// digits and type alike): numbering goes on after a change of other choices and starts again
// at the base number after a change of these.
bool NamesTheSameSeries(const CaptureSettings& before, const CaptureSettings& after);
// directory\prefix<number padded with zeros to digits><extension>; a directory that ends in
// a backslash gets no second one, a number longer than digits is written whole.
std::string NumberedFileName(const std::string& directory, const std::string& prefix, int number, int digits,
                             const std::string& extension);
// Whether the name ends in ".bmp", in any case: such a file is written as a bitmap, every
// other name as PNG.
bool IsBmpFileName(const std::string& name);

// How long a delivery waits for a clipboard that another program holds open for a moment.
const DWORD kClipboardPatienceMs = 500;
