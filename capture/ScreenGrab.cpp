#include "capture/ScreenGrab.h"

#include "app/Settings.h"
#include "framework/Handles.h"

#include <algorithm>

namespace {
SIZE ScreenSize()
{
    return SIZE{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

// Draws a cursor (or icon) handle with its hot spot at (x, y); false if the system cannot.
bool DrawCursorHandle(HDC dc, HCURSOR cursor, int x, int y)
{
    ICONINFO info = {};
    if (!::GetIconInfo(cursor, &info))
        return false;
    // GetIconInfo hands over copies of the cursor's bitmaps; only the hot spot is wanted.
    CBitmapHandle mask(info.hbmMask), color(info.hbmColor);
    CCursorHandle copy(static_cast<HCURSOR>(::CopyImage(cursor, IMAGE_CURSOR, 0, 0, 0)));
    if (!copy)
        return false;
    return ::DrawIcon(dc, x - static_cast<int>(info.xHotspot), y - static_cast<int>(info.yHotspot), copy) != FALSE;
}
}  // namespace

bool ClampToScreen(const RECT& rect, SIZE screen, RECT& clamped)
{
    clamped.left = std::max<LONG>(std::min(rect.left, rect.right), 0);
    clamped.top = std::max<LONG>(std::min(rect.top, rect.bottom), 0);
    clamped.right = std::min<LONG>(std::max(rect.left, rect.right), screen.cx);
    clamped.bottom = std::min<LONG>(std::max(rect.top, rect.bottom), screen.cy);
    // A rectangle wholly off the screen ends up with a negative size: refused like an empty one.
    return clamped.right > clamped.left && clamped.bottom > clamped.top;
}

bool DrawCursorAt(HDC dc, HCURSOR cursor, int x, int y)
{
    if (cursor && DrawCursorHandle(dc, cursor, x, y))
        return true;
    return DrawCursorHandle(dc, ::LoadCursorA(nullptr, IDC_ARROW), x, y);
}

HBITMAP GrabScreenRect(const RECT* rect)
{
    RECT area;
    if (!rect || !ClampToScreen(*rect, ScreenSize(), area))
        return nullptr;
    const int width = area.right - area.left, height = area.bottom - area.top;
    CCreatedDC screen(::CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
    if (!screen)
        return nullptr;
    CCreatedDC memory(::CreateCompatibleDC(screen));
    if (!memory)
        return nullptr;
    CBitmapHandle bitmap(::CreateCompatibleBitmap(screen, width, height));
    if (!bitmap) {
        ShowOutOfMemory();
        return nullptr;
    }
    {
        CSelectObject select(memory, bitmap);
        ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        const CURSORINFO& snapshot = theState.m_cursorInfo;
        // The snapshot's flags are not consulted: a cursor hidden at that moment is drawn too.
        if (theSettings.m_bIncludeCursor && snapshot.hCursor)
            DrawCursorAt(memory, snapshot.hCursor, snapshot.ptScreenPos.x - area.left,
                         snapshot.ptScreenPos.y - area.top);
    }
    return bitmap.Detach();
}

HBITMAP CropBitmap(HBITMAP screenSnapshot, const RECT& rect)
{
    RECT area;
    if (!ClampToScreen(rect, ScreenSize(), area))
        return nullptr;
    const int width = area.right - area.left, height = area.bottom - area.top;
    CCreatedDC screen(::CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
    if (!screen)
        return nullptr;
    CCreatedDC from(::CreateCompatibleDC(screen));
    if (!from)
        return nullptr;
    CCreatedDC to(::CreateCompatibleDC(screen));
    if (!to)
        return nullptr;
    CBitmapHandle bitmap(::CreateCompatibleBitmap(screen, width, height));
    if (!bitmap) {
        ShowOutOfMemory();
        return nullptr;
    }
    {
        CSelectObject selectFrom(from, screenSnapshot);
        CSelectObject selectTo(to, bitmap);
        ::BitBlt(to, 0, 0, width, height, from, area.left, area.top, SRCCOPY);
    }
    return bitmap.Detach();
}

void BringToFront(HWND window)
{
    // GetParent of a top-level window is its owner: the climb follows owners too.
    HWND top = window;
    for (HWND parent = ::GetParent(top); parent; parent = ::GetParent(top))
        top = parent;
    ::SetForegroundWindow(::GetLastActivePopup(top));
    // Time for the window to repaint before it is copied.
    ::Sleep(1000);
}

HBITMAP GrabWindow(HWND window)
{
    if (!window)
        return nullptr;
    BringToFront(window);
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return GrabScreenRect(&rect);
}

void ShowOutOfMemory()
{
    ::MessageBoxA(::GetFocus(), "Out of Memory", nullptr, MB_SYSTEMMODAL | MB_ICONERROR);
}
