#include "support/Picker.h"

#include "support/Desktop.h"
#include "support/Process.h"

namespace testing_support {

bool ShowPicker(HWND mainWindow, POINT at)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        ::SetCursorPos(at.x, at.y);
        ::PostMessageA(mainWindow, kTrayMessage, kTrayId, WM_LBUTTONDOWN);
        if (WaitUntil(
                [&] {
                    RECT rect = {};
                    ::GetWindowRect(mainWindow, &rect);
                    return ::IsWindowVisible(mainWindow) && ::PtInRect(&rect, at);
                },
                500)) {
            ::Sleep(200);  // on the X display too
            return true;
        }
    }
    return false;
}

HWND CaptureOfProgram(HWND mainWindow)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(mainWindow, nullptr), &info);
    return info.hwndCapture;
}

bool PressOnPicker(HWND mainWindow, POINT at)
{
    MoveMouseTo(at);
    LeftButton(true);
    return WaitUntil([&] { return CaptureOfProgram(mainWindow) == mainWindow; }, 2000);
}

bool PickText(HWND mainWindow, POINT pickerAt, POINT target)
{
    if (!ShowPicker(mainWindow, pickerAt) || !HoldCtrl(true))
        return false;
    const bool pressed = PressOnPicker(mainWindow, pickerAt);
    if (!HoldCtrl(false) || !pressed)
        return false;
    MoveMouseInSteps(pickerAt, target);
    LeftButton(false);
    return true;
}

}  // namespace testing_support
