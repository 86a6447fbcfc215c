#include "framework/MessagePump.h"

#include <algorithm>
#include <vector>

namespace {
// Only the interface thread makes modeless dialogs.
std::vector<HWND>& Modeless()
{
    static std::vector<HWND> s_dialogs;
    return s_dialogs;
}

DWORD Remaining(ULONGLONG deadline)
{
    const ULONGLONG now = ::GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, INFINITE - 1));
}
}  // namespace

void RegisterModeless(HWND dialog)
{
    Modeless().push_back(dialog);
}

void UnregisterModeless(HWND dialog)
{
    std::vector<HWND>& dialogs = Modeless();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
}

void DispatchThreadMessage(MSG& msg)
{
    const HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    const std::vector<HWND>& dialogs = Modeless();
    if (root && std::find(dialogs.begin(), dialogs.end(), root) != dialogs.end() && ::IsDialogMessageW(root, &msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

PumpEnd PumpMessagesUntil(HANDLE object, DWORD timeoutMs, int* quitCode)
{
    const bool forever = timeoutMs == INFINITE;
    const ULONGLONG deadline = forever ? 0 : ::GetTickCount64() + timeoutMs;
    for (;;) {
        // Input already in the queue counts too, not only what arrives after the last look.
        const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &object, forever ? INFINITE : Remaining(deadline),
                                                         QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0)
            return PumpEnd::Signalled;
        if (woke == WAIT_TIMEOUT)
            return PumpEnd::TimedOut;
        if (woke != WAIT_OBJECT_0 + 1)
            return PumpEnd::Failed;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (quitCode)
                    *quitCode = static_cast<int>(msg.wParam);
                return PumpEnd::Quit;
            }
            DispatchThreadMessage(msg);
        }
    }
}
