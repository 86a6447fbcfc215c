#include "capture/ScreenGrab.h"

#include "framework/Handles.h"
#include "framework/Screen.h"

#include <algorithm>

namespace {
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

bool ClampToScreen(const RECT& rect, const RECT& screen, RECT& clamped)
{
    clamped.left = std::max(std::min(rect.left, rect.right), screen.left);
    clamped.top = std::max(std::min(rect.top, rect.bottom), screen.top);
    clamped.right = std::min(std::max(rect.left, rect.right), screen.right);
    clamped.bottom = std::min(std::max(rect.top, rect.bottom), screen.bottom);
    // A rectangle wholly off the screen ends up with a negative size: refused like an empty one.
    return clamped.right > clamped.left && clamped.bottom > clamped.top;
}

bool DrawCursorAt(HDC dc, HCURSOR cursor, int x, int y)
{
    if (cursor && DrawCursorHandle(dc, cursor, x, y))
        return true;
    return DrawCursorHandle(dc, ::LoadCursorA(nullptr, IDC_ARROW), x, y);
}

namespace {
ScreenPicture Nothing()
{
    ScreenPicture picture;
    picture.outcome = Outcome::Of(Outcome::Kind::Nothing);
    return picture;
}

// The one copy every grab is: the area of `source` (the screen itself, or a memory context
// holding a snapshot whose pixel (0, 0) is the screen's point `origin`) into a new bitmap
// compatible with the display, with the cursor drawn in where it was on the screen.
ScreenPicture CopyScreenArea(HDC screen, HDC source, POINT origin, const RECT& area, const CURSORINFO* cursor)
{
    ScreenPicture picture;
    picture.area = area;
    const int width = area.right - area.left, height = area.bottom - area.top;
    CCreatedDC memory(::CreateCompatibleDC(screen));
    if (!memory)
        return Nothing();
    picture.bitmap.Reset(::CreateCompatibleBitmap(screen, width, height));
    if (!picture.bitmap) {
        picture.outcome = Outcome::Of(Outcome::Kind::OutOfMemory);
        return picture;
    }
    CSelectObject select(memory, picture.bitmap);
    ::BitBlt(memory, 0, 0, width, height, source, area.left - origin.x, area.top - origin.y, SRCCOPY);
    // The snapshot's flags are not consulted: a cursor hidden at that moment is drawn too.
    if (cursor && cursor->hCursor)
        DrawCursorAt(memory, cursor->hCursor, cursor->ptScreenPos.x - area.left, cursor->ptScreenPos.y - area.top);
    return picture;
}
}  // namespace

ScreenPicture GrabScreenRect(const RECT& rect, const CURSORINFO* cursor)
{
    RECT area;
    if (!ClampToScreen(rect, ScreenRect(), area))
        return Nothing();
    // The screen's context spans every monitor, in screen coordinates. The desktop's own one,
    // which the system keeps ready: a display context made for each grab (CreateDC "DISPLAY")
    // costs from a fraction of a millisecond to tens of them under Wine, when others keep the
    // processor busy.
    CClientDC screen(nullptr);
    if (!screen)
        return Nothing();
    return CopyScreenArea(screen, screen, POINT{0, 0}, area, cursor);
}

ScreenPicture CropBitmap(const ScreenPicture& snapshot, const RECT& rect)
{
    RECT area;
    if (!snapshot.bitmap || !ClampToScreen(rect, snapshot.area, area))
        return Nothing();
    CClientDC screen(nullptr);
    if (!screen)
        return Nothing();
    CCreatedDC from(::CreateCompatibleDC(screen));
    if (!from)
        return Nothing();
    CSelectObject selectFrom(from, snapshot.bitmap);
    // A snapshot that holds the cursor has it already: none is drawn here.
    return CopyScreenArea(screen, from, POINT{snapshot.area.left, snapshot.area.top}, area, nullptr);
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

ScreenPicture GrabWindow(HWND window, const CURSORINFO* cursor)
{
    if (!window)
        return Nothing();
    BringToFront(window);
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return GrabScreenRect(rect, cursor);
}
