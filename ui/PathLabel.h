// A static field that shows a file or directory path, shortened in the middle with an ellipsis
// when it does not fit, so that its beginning and its last component stay visible. The text of
// the control stays the whole path: it is set and read with the ordinary window text.
#pragma once

#include "framework/Wnd.h"

class CPathLabel : public CWnd
{
public:
    CPathLabel() = default;
    ~CPathLabel() override = default;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();

    // An ampersand in a path is a character, not an accelerator; the path ellipsis is added
    // when drawing.
    UINT m_nFormat = DT_NOPREFIX | DT_VCENTER;
};
