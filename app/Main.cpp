// The program's static objects. The main dialog is made before the application object and
// destroyed after it, so the window object outlives the loop that serves it.
#include "app/CaptureApp.h"
#include "app/MainDlg.h"

CMainDlg theMainDlg;
CCaptureApp theApp(theMainDlg);
