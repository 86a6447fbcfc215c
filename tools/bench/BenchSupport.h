// What the benchmarks share: a clock, medians, a desktop-like picture, libpng alone as the
// reference of every PNG figure, file sizes.
#pragma once

#include "framework/Handles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

// Milliseconds from an arbitrary start.
double Now();
// Milliseconds of processor time this process has used, in user and kernel mode.
double CpuNow();
double Median(std::vector<double> values);

// A bitmap compatible with the display, drawn like a desktop: a gradient, windows with title
// bars and lines of text, a photo-like patch of noise. The caller owns it.
HBITMAP DesktopLikeBitmap(int width, int height);
// A long page of text lines and now and then a coloured figure, drawn from the top of the
// context over width x height: what a scrolled document shows.
void DrawScrollingPage(HDC dc, int width, int height);
void Fill(HDC dc, const RECT& rect, COLORREF colour);
// A 32-bit bottom-up DIB section (the layout of the recorder's frames) with a memory context to
// draw into it.
class CCanvas
{
public:
    CCanvas(int width, int height) : m_dc(::CreateCompatibleDC(nullptr))
    {
        m_header.biSize = sizeof m_header;
        m_header.biWidth = width;
        m_header.biHeight = height;  // bottom-up, as the recorder's frames are
        m_header.biPlanes = 1;
        m_header.biBitCount = 32;
        m_header.biSizeImage = static_cast<DWORD>(width) * height * 4;
        BITMAPINFO info = {};
        info.bmiHeader = m_header;
        m_bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &m_pBits, nullptr, 0));
        m_hOld = ::SelectObject(m_dc, m_bitmap);
    }
    ~CCanvas() { ::SelectObject(m_dc, m_hOld); }
    bool Usable() const { return m_pBits != nullptr; }
    HDC Dc() const { return m_dc; }
    int Width() const { return m_header.biWidth; }
    int Height() const { return m_header.biHeight; }
    const BITMAPINFOHEADER& Header() const { return m_header; }
    BYTE* Bits() const { return static_cast<BYTE*>(m_pBits); }
    // Row y counted from the top.
    DWORD* Row(int y) const
    {
        return reinterpret_cast<DWORD*>(Bits()) + static_cast<size_t>(m_header.biHeight - 1 - y) * m_header.biWidth;
    }

private:
    BITMAPINFOHEADER m_header = {};
    CCreatedDC m_dc;
    CBitmapHandle m_bitmap;
    void* m_pBits = nullptr;
    HGDIOBJ m_hOld = nullptr;
};

// A topmost window over the whole screen (every monitor) showing the picture from its top left
// corner, painted before this returns; then its messages handled for settleMs.
HWND ShowOverScreen(HBITMAP picture, DWORD settleMs);
// The bitmap's pixels, top row first, red-green-blue.
std::vector<BYTE> RgbRows(HBITMAP bitmap, int& width, int& height);

// libpng alone writing rows from memory, at the library's defaults (as the program does).
bool LibpngAlone(const std::string& path, const std::vector<BYTE>& rgb, int width, int height);

long long FileSize(const std::string& path);

// The bare grab, the floor of any grab of the screen through GDI: one BitBlt of a rectangle of
// the screen (from the desktop's context) into a 32-bit DIB section. The section is made once and
// used again, or (fresh) made for each grab as a picture handed on must be, its memory new.
class CBareGrab
{
public:
    explicit CBareGrab(const RECT& area);
    ~CBareGrab();
    CBareGrab(const CBareGrab&) = delete;
    CBareGrab& operator=(const CBareGrab&) = delete;
    bool Grab();
    bool GrabFresh();

private:
    RECT m_area;
    HDC m_screen;
    HDC m_memory;
    HBITMAP m_section;
    HGDIOBJ m_old;
};

// ffmpeg's x11grab on this display (a script run on the host: tools/bench/ffmpeg_record.sh),
// its line of figures; the script's own complaint when it fails.
std::string FfmpegOnHost(const std::string& script, const std::string& arguments);

}  // namespace bench
