#include "BenchSupport.h"

#include "framework/Handles.h"
#include "support/Files.h"
#include "support/Screen.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace bench {

double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double CpuNow()
{
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

namespace {
HBITMAP Section32(HDC dc, const RECT& area)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = area.right - area.left;
    info.bmiHeader.biHeight = area.bottom - area.top;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    return ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}
}  // namespace

CBareGrab::CBareGrab(const RECT& area)
    : m_area(area), m_screen(::GetDC(nullptr)), m_memory(::CreateCompatibleDC(m_screen)),
      m_section(Section32(m_screen, area)), m_old(::SelectObject(m_memory, m_section))
{
}

CBareGrab::~CBareGrab()
{
    ::SelectObject(m_memory, m_old);
    ::DeleteObject(m_section);
    ::DeleteDC(m_memory);
    ::ReleaseDC(nullptr, m_screen);
}

bool CBareGrab::Grab()
{
    const BOOL done = ::BitBlt(m_memory, 0, 0, m_area.right - m_area.left, m_area.bottom - m_area.top, m_screen,
                               m_area.left, m_area.top, SRCCOPY);
    ::GdiFlush();
    return done != FALSE;
}

bool CBareGrab::GrabFresh()
{
    HBITMAP fresh = Section32(m_screen, m_area);
    HGDIOBJ old = ::SelectObject(m_memory, fresh);
    const bool done = Grab();
    ::SelectObject(m_memory, old);
    ::DeleteObject(fresh);
    return done;
}

std::string FfmpegOnHost(const std::string& script, const std::string& arguments)
{
    const std::string out = testing_support::CScratch::Host("ffmpeg-figures.txt");
    const int status = testing_support::RunOnHost("sh '" + script + "' " + arguments + " > '" + out + "' 2>&1", 600000);
    const std::vector<BYTE> text = testing_support::ReadBytes(testing_support::CScratch::Windows("ffmpeg-figures.txt"));
    ::DeleteFileA(testing_support::CScratch::Windows("ffmpeg-figures.txt").c_str());
    std::string said(text.begin(), text.end());
    if (status != 0)
        said = "ffmpeg failed (" + std::to_string(status) + "): " + said;
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r'))
        said.pop_back();
    return said;
}

namespace {
LRESULT CALLBACK ShowPicture(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        const auto picture = reinterpret_cast<HBITMAP>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        CCreatedDC memory(::CreateCompatibleDC(dc));
        CSelectObject select(memory, picture);
        const RECT screen = testing_support::Screen();
        ::BitBlt(dc, 0, 0, screen.right - screen.left, screen.bottom - screen.top, memory, 0, 0, SRCCOPY);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}
}  // namespace

HWND ShowOverScreen(HBITMAP picture, DWORD settleMs)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ShowPicture;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "PixletBenchDesktop";
    ::RegisterClassA(&wc);
    const RECT screen = testing_support::Screen();
    HWND window = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, screen.left,
                                    screen.top, screen.right - screen.left, screen.bottom - screen.top, nullptr,
                                    nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture));
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    MSG msg;
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < settleMs; ::Sleep(10))
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
    return window;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

HBITMAP DesktopLikeBitmap(int width, int height)
{
    CWindowDC screen(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    CCreatedDC dc(::CreateCompatibleDC(screen));
    CSelectObject select(dc, bitmap);
    TRIVERTEX corners[2] = {{0, 0, 0x2000, 0x4000, 0x8000, 0}, {width, height, 0x8000, 0xC000, 0xF000, 0}};
    GRADIENT_RECT whole = {0, 1};
    ::GradientFill(dc, corners, 2, &whole, 1, GRADIENT_FILL_RECT_V);
    std::mt19937 random(1);
    CFontHandle font(::CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
    CSelectObject selectFont(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    // Windows, text and photo placed in proportion to the picture, so that every size shows the
    // same kind of desktop.
    const int windowWidth = width * 5 / 16, windowHeight = height * 5 / 12;
    for (int w = 0; w < 8; ++w) {
        const int left = static_cast<int>(random() % static_cast<unsigned>(width - windowWidth));
        const int top = static_cast<int>(random() % static_cast<unsigned>(height - windowHeight));
        RECT frame = {left, top, left + windowWidth, top + windowHeight};
        CBrushHandle face(::CreateSolidBrush(RGB(240, 240, 240)));
        ::FillRect(dc, &frame, face);
        RECT title = {left, top, left + windowWidth, top + 24};
        CBrushHandle bar(::CreateSolidBrush(RGB(0, 84, 227)));
        ::FillRect(dc, &title, bar);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::TextOutA(dc, left + 8, top + 5, "Untitled - Notes", 16);
        ::SetTextColor(dc, RGB(0, 0, 0));
        for (int line = 0; 32 + 17 * (line + 1) < windowHeight; ++line) {
            char text[96];
            const int n = std::snprintf(text, sizeof text, "%d: The quick brown fox jumps over the lazy dog %u",
                                        line, static_cast<unsigned>(random() % 100000));
            ::TextOutA(dc, left + 8, top + 32 + 17 * line, text, n);
        }
    }
    for (int y = height * 65 / 100; y < height * 93 / 100; ++y)  // a photo: noise over a smooth colour
        for (int x = width * 73 / 100; x < width * 94 / 100; ++x)
            ::SetPixelV(dc, x, y, RGB((x / 3 + random() % 24) & 255, (y / 2 + random() % 24) & 255, (x + y) / 11));
    return bitmap;
}

std::vector<BYTE> RgbRows(HBITMAP bitmap, int& width, int& height)
{
    const testing_support::CPixels pixels = testing_support::ReadBitmap(bitmap);
    width = pixels.width;
    height = pixels.height;
    std::vector<BYTE> rgb;
    rgb.reserve(pixels.data.size() * 3);
    for (const DWORD p : pixels.data) {  // 0x00RRGGBB
        rgb.push_back(static_cast<BYTE>(p >> 16));
        rgb.push_back(static_cast<BYTE>(p >> 8));
        rgb.push_back(static_cast<BYTE>(p));
    }
    return rgb;
}

bool LibpngAlone(const std::string& path, const std::vector<BYTE>& rgb, int width, int height)
{
    FILE* stream = std::fopen(path.c_str(), "wb");
    if (!stream)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    bool ok = false;
    if (png && info && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, stream);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y)
            png_write_row(png, &rgb[static_cast<size_t>(y) * width * 3]);
        png_write_end(png, info);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(stream) == 0 && ok;
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    const HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

void DrawScrollingPage(HDC dc, int width, int height)
{
    Fill(dc, RECT{0, 0, width, height}, RGB(255, 255, 255));
    ::SetBkMode(dc, TRANSPARENT);
    unsigned seed = 7;
    for (int y = 10, n = 0; y < height; y += 18, ++n) {
        seed = seed * 1103515245u + 12345u;
        if (n % 25 == 24) {  // now and then a coloured figure
            Fill(dc, RECT{60, y, 60 + static_cast<int>(seed % 600) + 200, y + 90}, RGB(seed & 255, 140, 200));
            y += 90;
            continue;
        }
        char text[200];
        const int length = std::snprintf(text, sizeof text, "%u. A line of a long page that scrolls: words %u and %u "
                                         "of the text, read as it goes up the screen.",
                                         static_cast<unsigned>(n), seed % 9973, seed % 613);
        ::SetTextColor(dc, n % 10 == 0 ? RGB(0, 0, 160) : RGB(20, 20, 20));
        ::TextOutA(dc, n % 10 == 0 ? 40 : 60, y, text, length);
    }
}

}  // namespace bench
