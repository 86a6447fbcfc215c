#include "support/Screen.h"

#include "support/Files.h"
#include "support/Process.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace testing_support {

namespace {
const char kWindowClass[] = "PixletTestPainted";
const UINT kSetColour = WM_APP + 1;
}  // namespace

const COLORREF CPaintedWindow::kQuadrants[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(18, 52, 86)};

::testing::AssertionResult AllOf(const CPixels& pixels, COLORREF colour)
{
    if (pixels.Empty())
        return ::testing::AssertionFailure() << "no picture";
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if (pixels.At(x, y) != colour)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " of " << pixels.width << "x"
                                                     << pixels.height << " is " << std::hex << pixels.At(x, y);
    return ::testing::AssertionSuccess();
}

CPixels ReadBitmap(HBITMAP bitmap)
{
    CPixels pixels;
    BITMAP info = {};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info))
        return pixels;
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    pixels.data.resize(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;  // top row first
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data.data(), &header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

CPixels ScreenPixels(const RECT& rect)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    CPixels pixels = ReadBitmap(bitmap);
    ::DeleteObject(bitmap);
    return pixels;
}

CPixels DisplayPixels()
{
    const RECT screen = Screen();
    const std::string file = CScratch::Host("display.png");
    if (RunOnHost("import -window root '" + file + "'") != 0)
        return CPixels();
    return DecodeImageFile(file, screen.right - screen.left, screen.bottom - screen.top);
}

CPixels Crop(const CPixels& pixels, const RECT& rect)
{
    CPixels part;
    part.width = rect.right - rect.left;
    part.height = rect.bottom - rect.top;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            part.data.push_back(pixels.data[static_cast<size_t>(y) * static_cast<size_t>(pixels.width) + x]);
    return part;
}

CPixels ClipboardBitmap()
{
    CPixels pixels;
    if (!::OpenClipboard(nullptr))
        return pixels;
    pixels = ReadBitmap(static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP)));
    ::CloseClipboard();
    return pixels;
}

CPixels DecodeImageFile(const std::string& hostPath, int width, int height)
{
    CPixels pixels;
    const std::string raw = hostPath + ".rgb";
    if (RunOnHost("convert-im6.q16 '" + hostPath + "' -depth 8 rgb:'" + raw + "'") != 0)
        return pixels;
    const std::vector<BYTE> rgb = ReadBytes(WindowsPath(raw));
    if (rgb.size() != static_cast<size_t>(width) * height * 3)
        return pixels;
    pixels.width = width;
    pixels.height = height;
    for (size_t i = 0; i < rgb.size(); i += 3)
        pixels.data.push_back(static_cast<DWORD>(rgb[i]) << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
    return pixels;
}

void SaveScreenshotIfAsked(const char* name)
{
    const char* directory = std::getenv("PIXLET_SCREENSHOTS");
    if (directory && *directory)
        RunOnHost("import -window root '" + std::string(directory) + "/" + name + ".png'");
}

COLORREF PatternColor(int x, int y)
{
    return RGB(x & 0xFF, y & 0xFF, ((x >> 8) & 0x0F) | ((y >> 8) & 0x0F) << 4);
}

CPatternMismatch CompareWithPattern(const CPixels& pixels, int left, int top)
{
    CPatternMismatch mismatch;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if (pixels.At(x, y) != PatternColor(left + x, top + y)) {
                const RECT pixel = {left + x, top + y, left + x + 1, top + y + 1};
                if (mismatch.count++ == 0)
                    mismatch.first = POINT{pixel.left, pixel.top};
                ::UnionRect(&mismatch.bounds, &mismatch.bounds, &pixel);
            }
    return mismatch;
}

::testing::AssertionResult PatternWithCursorAt(const CPixels& pixels, int left, int top, POINT cursor)
{
    const CPatternMismatch drawn = CompareWithPattern(pixels, left, top);
    const RECT& at = drawn.bounds;
    if (drawn.count > 0 && at.left >= cursor.x - 2 && at.top >= cursor.y - 2 && at.right <= cursor.x + 32 &&
        at.bottom <= cursor.y + 32)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << drawn.count << " pixels differ from the screen, within (" << at.left << ", "
                                         << at.top << ") - (" << at.right << ", " << at.bottom
                                         << "); the cursor was at (" << cursor.x << ", " << cursor.y << ")";
}

CPaintedWindow::CPaintedWindow(RECT rect, Kind kind, COLORREF colour, HWND parent)
    : m_kind(kind), m_colour(colour), m_hReady(::CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
    m_thread = std::thread([this, rect, parent] { Run(rect, parent); });
    ::WaitForSingleObject(m_hReady, 10000);
    // Until the display shows it: a pixel of its visible part in the colour painted there (on
    // a display that cannot show the colour exactly, the wait runs out and the test goes on).
    const POINT probe = {std::max(rect.left + 1, 0L), std::max(rect.top + 1, 0L)};
    const COLORREF expected = kind == Pattern ? PatternColor(probe.x, probe.y) : kind == Quadrants ? kQuadrants[0] : colour;
    WaitUntil([&] { return ScreenPixels(RECT{probe.x, probe.y, probe.x + 1, probe.y + 1}).At(0, 0) == expected; }, 2000);
    ::Sleep(50);
}

CPaintedWindow::~CPaintedWindow()
{
    if (m_hWnd)
        ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    m_thread.join();
    ::CloseHandle(m_hReady);
}

void CPaintedWindow::SetColour(COLORREF colour, DWORD waitMs)
{
    ::SendMessageA(m_hWnd, kSetColour, colour, 0);
    RECT rect = {};
    ::GetWindowRect(m_hWnd, &rect);
    const RECT probe = {rect.left + 1, rect.top + 1, rect.left + 2, rect.top + 2};
    WaitUntil([&] { return ScreenPixels(probe).At(0, 0) == colour; }, waitMs);
}

void CPaintedWindow::Run(RECT rect, HWND parent)
{
    static const ATOM registered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        return ::RegisterClassA(&wc);
    }();
    (void)registered;
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    m_hWnd = ::CreateWindowExA(parent ? 0 : WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kWindowClass, "",
                               (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, parent, nullptr, ::GetModuleHandleA(nullptr), this);
    ::UpdateWindow(m_hWnd);
    ::SetEvent(m_hReady);
    MSG msg;
    while (m_hWnd && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

LRESULT CALLBACK CPaintedWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<CPaintedWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        if (self)
            self->Paint(dc);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case kSetColour:
        self->m_colour = static_cast<COLORREF>(wParam);
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
        return 0;
    case WM_CLOSE:
        ::DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        self->m_hWnd = nullptr;
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void CPaintedWindow::Paint(HDC dc)
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    if (m_kind == Pattern) {
        // The pattern of the window's own screen area, drawn through a DIB of that size.
        POINT origin = {0, 0};
        ::ClientToScreen(m_hWnd, &origin);
        const int width = client.right, height = client.bottom;
        std::vector<DWORD> bits(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const COLORREF c = PatternColor(origin.x + x, origin.y + y);
                bits[static_cast<size_t>(y) * width + x] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
            }
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                            static_cast<UINT>(height), bits.data(), &info, DIB_RGB_COLORS);
        return;
    }
    const int w = client.right / 2, h = client.bottom / 2;
    const RECT parts[4] = {{0, 0, w, h}, {w, 0, client.right, h}, {0, h, w, client.bottom},
                           {w, h, client.right, client.bottom}};
    for (int i = 0; i < 4; ++i) {
        HBRUSH brush = ::CreateSolidBrush(m_kind == Quadrants ? kQuadrants[i] : m_colour);
        ::FillRect(dc, &parts[i], brush);
        ::DeleteObject(brush);
    }
}

}  // namespace testing_support
