// What the screen and pictures show, read pixel by pixel, and windows of the test's own that
// show known pixels: one colour, four quadrants, or a pattern that codes each pixel's screen
// position. The windows live on a thread of their own that keeps painting them, so a test may
// wait, press keys and watch another program while they stay on the screen.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// The pixels of a picture, top row first.
struct CPixels {
    int width = 0, height = 0;
    std::vector<DWORD> data;  // 0x00RRGGBB
    bool Empty() const { return data.empty(); }
    COLORREF At(int x, int y) const
    {
        const DWORD p = data[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

// A bitmap's pixels (empty for none); the bitmap is only read.
CPixels ReadBitmap(HBITMAP bitmap);
// What the screen shows in the rectangle now.
CPixels ScreenPixels(const RECT& rect);
// The CF_BITMAP on the clipboard; empty when it holds none.
CPixels ClipboardBitmap();

// A picture file (PNG, BMP) of the host decoded by ImageMagick: its pixels, top row first;
// empty when it is not a picture of this size.
CPixels DecodeImageFile(const std::string& hostPath, int width, int height);

// Where PIXLET_SCREENSHOTS names a directory (of the host), the whole screen as <name>.png
// there, for a person to look at; nothing otherwise.
void SaveScreenshotIfAsked(const char* name);

// The colour of the position pattern at a screen point: no two points of a screen up to
// 4096 x 4096 share one.
COLORREF PatternColor(int x, int y);
// The pixels that differ from the position pattern of the screen rectangle at (left, top), and
// the first of them.
struct CPatternMismatch {
    int count = 0;
    POINT first = {-1, -1};
};
CPatternMismatch CompareWithPattern(const CPixels& pixels, int left, int top);

class CPaintedWindow
{
public:
    enum Kind { Solid, Quadrants, Pattern };
    // A topmost borderless window at the screen rectangle, shown and painted before this returns.
    CPaintedWindow(RECT rect, Kind kind, COLORREF colour = RGB(0, 0, 0));
    ~CPaintedWindow();
    CPaintedWindow(const CPaintedWindow&) = delete;
    CPaintedWindow& operator=(const CPaintedWindow&) = delete;

    operator HWND() const { return m_hWnd; }
    // Repaints it in another colour (a solid window), and waits until the screen shows it.
    void SetColour(COLORREF colour);

    static const COLORREF kQuadrants[4];  // top left, top right, bottom left, bottom right

private:
    void Run(RECT rect);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);

    Kind m_kind;
    COLORREF m_colour;
    HWND m_hWnd = nullptr;
    HANDLE m_hReady;
    std::thread m_thread;
};

}  // namespace testing_support
