// What the screen and pictures show, read pixel by pixel, and windows of the test's own that
// show known pixels: one colour, four quadrants, or a pattern that codes each pixel's screen
// position. The windows live on a thread of their own that keeps painting them, so a test may
// wait, press keys and watch another program while they stay on the screen.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

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

// The screen: the virtual screen, the rectangle that holds every monitor (with one monitor, that
// one, from (0, 0)). A window's rectangle on it, and a rectangle's centre.
inline RECT Screen()
{
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN), top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}
inline RECT WindowRect(HWND hwnd) { RECT rect = {}; ::GetWindowRect(hwnd, &rect); return rect; }
inline POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }
inline POINT Centre(HWND hwnd) { return Centre(WindowRect(hwnd)); }

// Every pixel of the picture is this colour (else the first that is not).
::testing::AssertionResult AllOf(const CPixels& pixels, COLORREF colour);

// A bitmap's pixels (empty for none); the bitmap is only read.
CPixels ReadBitmap(HBITMAP bitmap);
// What the screen shows in the rectangle now.
CPixels ScreenPixels(const RECT& rect);
// What the X display shows, the whole screen, as ImageMagick's import reads it on the host (not
// through Wine); empty when it could not.
CPixels DisplayPixels();
// The rectangle of the picture (in its own coordinates).
CPixels Crop(const CPixels& pixels, const RECT& rect);
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
// The pixels that differ from the position pattern of the screen rectangle at (left, top): how
// many, the first of them, and the screen rectangle that holds them all.
struct CPatternMismatch {
    int count = 0;
    POINT first = {-1, -1};
    RECT bounds = {0, 0, 0, 0};
};
CPatternMismatch CompareWithPattern(const CPixels& pixels, int left, int top);
// The picture of the screen rectangle at (left, top) shows the position pattern but for a cursor
// (at most 32 x 32 pixels) drawn with its hot spot at the screen point.
::testing::AssertionResult PatternWithCursorAt(const CPixels& pixels, int left, int top, POINT cursor);

class CPaintedWindow
{
public:
    enum Kind { Solid, Quadrants, Pattern };
    // A topmost borderless window at the screen rectangle, shown and painted before this returns;
    // with a parent, a child window of it there.
    CPaintedWindow(RECT rect, Kind kind, COLORREF colour = RGB(0, 0, 0), HWND parent = nullptr);
    ~CPaintedWindow();
    CPaintedWindow(const CPaintedWindow&) = delete;
    CPaintedWindow& operator=(const CPaintedWindow&) = delete;

    operator HWND() const { return m_hWnd; }
    // Repaints it in another colour (a solid window), and waits until the screen shows it, at
    // most for the time.
    void SetColour(COLORREF colour, DWORD waitMs = 2000);

    static const COLORREF kQuadrants[4];  // top left, top right, bottom left, bottom right

private:
    void Run(RECT rect, HWND parent);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);

    Kind m_kind;
    COLORREF m_colour;
    HWND m_hWnd = nullptr;
    HANDLE m_hReady;
    std::thread m_thread;
};

}  // namespace testing_support
