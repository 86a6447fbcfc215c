#include "app/StillActions.h"

void CopyManually(HWND, CaptureSettings&, CaptureState&)
{
    // Needs the rectangle selector, which comes with the capture flows.
}

void CopyAutomatically(HWND, CaptureSettings&, const CaptureState&)
{
    // Comes with the capture flows.
}
