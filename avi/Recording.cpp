// The recording controller of the main window: the frame timer and its start and stop.
#include "app/MainDlg.h"

void CMainDlg::StartRecording(char)
{
    // Needs the AVI writer, which comes with the recording.
}

void CMainDlg::StopRecording()
{
    ::KillTimer(m_hWnd, IDT_RECORD);
    if (!m_pAviWriter)
        return;
}

void CMainDlg::OnTimer(UINT_PTR)
{
    ::KillTimer(m_hWnd, IDT_RECORD);
    StopRecording();
}
