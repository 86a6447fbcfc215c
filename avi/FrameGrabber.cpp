#include "avi/FrameGrabber.h"

#include "capture/ScreenGrab.h"
#include "framework/Screen.h"

CFrameGrabber::CFrameGrabber(const RECT& area, WORD bitCount) : m_rcRequested(area)
{
    if (!ClampToScreen(area, ScreenRect(), m_rcArea))
        return;
    CClientDC screen(nullptr);
    if (!screen)
        return;
    const int depth = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
    if (depth <= 8)
        return;  // a palette display: its frames need their colour table, as still pictures do
    m_memory.Reset(::CreateCompatibleDC(screen));
    if (!m_memory)
        return;
    m_header.biSize = sizeof m_header;
    m_header.biWidth = m_rcArea.right - m_rcArea.left;
    m_header.biHeight = m_rcArea.bottom - m_rcArea.top;  // bottom-up, as AVI frames are
    m_header.biPlanes = 1;
    m_header.biBitCount = bitCount ? bitCount : static_cast<WORD>(depth);
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage =
        static_cast<DWORD>(((m_header.biWidth * m_header.biBitCount + 31) / 32) * 4 * m_header.biHeight);
    BITMAPINFO info = {};
    info.bmiHeader = m_header;
    void* bits = nullptr;
    m_section.Reset(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_section || !bits)
        return;
    m_hOldBitmap = ::SelectObject(m_memory, m_section);
    m_pBits = bits;
}

CFrameGrabber::~CFrameGrabber()
{
    if (m_hOldBitmap)
        ::SelectObject(m_memory, m_hOldBitmap);
}

bool CFrameGrabber::Grab(const CURSORINFO* cursor)
{
    if (!m_pBits)
        return false;
    RECT area;
    if (!ClampToScreen(m_rcRequested, ScreenRect(), area) || !::EqualRect(&area, &m_rcArea))
        return false;
    // The desktop's own context, taken for each frame: under Wine a copy from it costs less than
    // one from a display context made for the recording (CreateDC "DISPLAY"), and taking it
    // costs next to nothing.
    CClientDC screen(nullptr);
    if (!screen || !::BitBlt(m_memory, 0, 0, m_header.biWidth, m_header.biHeight, screen, area.left, area.top, SRCCOPY))
        return false;
    if (cursor && cursor->hCursor)
        DrawCursorAt(m_memory, cursor->hCursor, cursor->ptScreenPos.x - area.left, cursor->ptScreenPos.y - area.top);
    ::GdiFlush();  // the section's rows are read directly next
    return true;
}
