// "Copy manually" (Ctrl+PrintScreen) and "Copy automatically" (PrintScreen).
#include "app/MainDlg.h"

void CMainDlg::CopyManually()
{
    // Needs the rectangle selector, which comes with the capture flows.
}

void CMainDlg::CopyAutomatically()
{
    // Needs the screen grab and the delivery, which come with the capture flows.
}
