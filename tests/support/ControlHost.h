// control_host.exe (tests/fixtures/ControlHost.cpp), the program whose controls the tests read,
// and the texts they must give (tests/golden/).
#pragma once

#include "support/ControlHostIds.h"
#include "support/Process.h"

#include <windows.h>

#include <string>

namespace testing_support {

// A 64-bit, large-address-aware build of the host, whose tree item handles do not fit a 32-bit
// reader: the x86_64 linker makes every program so, this build's own host included.
const char* const kLargeAddressAware64BitHost = sizeof(void*) == 8 ? "control_host.exe" : "control_host64_laa.exe";

// A golden text of tests/golden/.
std::string Golden(const char* name);

// control_host.exe (or its 64-bit twins) running one case, until the object goes.
class CControlHost
{
public:
    explicit CControlHost(const char* scenario, const char* program = "control_host.exe");
    // Its window, once shown; null if it did not come up.
    HWND Window() const { return m_hWindow; }
    // The control of that id among its window's descendants.
    HWND Control(int id) const;
    CProcess& Process() { return m_process; }
    // Its window moved in front of every other (topmost) with its top left corner at the point;
    // true once it is there.
    bool InFrontAt(POINT topLeft);
    // The same into the lower left corner of the primary screen, out of the way of windows that
    // tests paint.
    bool InFrontAtLowerLeft();
    // Makes it answer nothing for the time; true once it is asleep (a message sent to it before
    // it took the request would still be answered).
    bool Hang(DWORD ms);

private:
    CProcess m_process;
    HWND m_hWindow = nullptr;
};

}  // namespace testing_support
