// What the link label and the about icon share: while the mouse is over the control it holds
// the mouse capture (so that it sees the move that leaves it) and shows the hand cursor, and a
// tooltip is fed with the control's mouse messages.
#pragma once

#include "framework/Handles.h"
#include "framework/Wnd.h"

#include <string>

class CHoverLink : public CWnd
{
public:
    ~CHoverLink() override = default;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Adds SS_NOTIFY, so that the static reports clicks.
    void AddNotifyStyle();
    // The hand cursor, once per control: the system's help program's, else the system's own.
    void LoadHandCursor();
    // The tooltip, with one tool over the control's client area.
    void CreateToolTip(const std::string& text);
    void SetToolTipText(const std::string& text);
    // The mouse is no longer over the control: the capture goes and the colours come back.
    void EndHover();
    void RedrawNow();

    BOOL m_bHover = FALSE;
    CCursorHandle m_hCursor;  // the control's own copy

private:
    void TrackHover(POINT point);
    void RelayToToolTip(UINT msg, WPARAM wParam, LPARAM lParam);

    CWindowHandle m_toolTip;
    CMouseCapture m_capture;
};
