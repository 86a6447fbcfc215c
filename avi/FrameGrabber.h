// Repeated grabs of one rectangle of the screen for a recording. The picture is a device-
// independent section made once, at the display's depth or at 32 bits (what the lossless coder
// takes), into which every frame is copied: a frame costs one copy from the screen, the bare
// cost of a grab, and its rows are ready to be written or coded as they are.
#pragma once

#include "framework/Handles.h"

#include <windows.h>

class CFrameGrabber
{
public:
    // For the rectangle (in any orientation, clamped to the screen). Usable() is false where the
    // rectangle is empty, the display works with a palette (8 bits per pixel or fewer), or the
    // section cannot be made: the caller then grabs frame by frame as for still pictures.
    // bitCount 0 keeps the display's depth; 32 gives rows of 32 bits on any other display.
    explicit CFrameGrabber(const RECT& area, WORD bitCount = 0);
    // The section leaves the memory context before both go.
    ~CFrameGrabber();
    CFrameGrabber(const CFrameGrabber&) = delete;
    CFrameGrabber& operator=(const CFrameGrabber&) = delete;

    bool Usable() const { return m_pBits != nullptr; }
    // Copies the rectangle as the screen shows it now, with the cursor drawn in when one is
    // given. False when the screen's size changed so that the rectangle no longer fits the
    // section (that frame is left out) or nothing could be copied.
    bool Grab(const CURSORINFO* cursor);
    // The frame: a bottom-up DIB header without a colour table, and its rows.
    const BITMAPINFOHEADER& Header() const { return m_header; }
    const BYTE* Bits() const { return static_cast<const BYTE*>(m_pBits); }

private:
    RECT m_rcRequested;
    RECT m_rcArea = {0, 0, 0, 0};
    BITMAPINFOHEADER m_header = {};
    CCreatedDC m_memory;
    CBitmapHandle m_section;
    HGDIOBJ m_hOldBitmap = nullptr;
    void* m_pBits = nullptr;
};
