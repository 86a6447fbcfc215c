// What the benchmarks share: a clock, medians, a desktop-like picture, libpng alone as the
// reference of every PNG figure, file sizes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

// Milliseconds from an arbitrary start.
double Now();
double Median(std::vector<double> values);

// A bitmap compatible with the display, drawn like a desktop: a gradient, windows with title
// bars and lines of text, a photo-like patch of noise. The caller owns it.
HBITMAP DesktopLikeBitmap(int width, int height);
// A topmost window over the whole screen (every monitor) showing the picture from its top left
// corner, painted before this returns; then its messages handled for settleMs.
HWND ShowOverScreen(HBITMAP picture, DWORD settleMs);
// The bitmap's pixels, top row first, red-green-blue.
std::vector<BYTE> RgbRows(HBITMAP bitmap, int& width, int& height);

// libpng alone writing rows from memory, at the library's defaults (as the program does).
bool LibpngAlone(const std::string& path, const std::vector<BYTE>& rgb, int width, int height);

long long FileSize(const std::string& path);

}  // namespace bench
