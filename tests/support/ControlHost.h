// control_host.exe (tests/fixtures/ControlHost.cpp), the program whose controls the tests read,
// and the texts they must give (tests/golden/).
#pragma once

#include "support/Process.h"

#include <windows.h>

#include <string>

namespace testing_support {

// The ids of the host's controls (see the fixture for their contents).
enum HostControl {
    kListView = 101,
    kListNoHeader = 102,
    kListNoColumns = 103,
    kListEmpty = 104,
    kHeader = 105,
    kTreeCollapsed = 106,
    kTreeThreeLevels = 107,
    kTreeRoots = 108,
    kListLongCell = 109,
    kCombo = 110,
    kListBox = 111,
    kEdit = 112,
    kListOwnerData = 113,
    kTreeDeepOverflow = 114,
    kTreeDeepFull = 115,
    kListTarget = 120,
    kTreeTarget = 121,
    kLiarList = 130,
    kLiarHeader = 131,
    kLiarListBox = 132,
    kLiarCombo = 133,
    kLongItemListBox = 134,
    kLiarTree = 135,
    kLiarStatic = 136,
    kLiarEdit = 137,
    kMiscountList = 138,
};

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
    HWND Control(int id) const { return ::GetDlgItem(m_hWindow, id); }
    CProcess& Process() { return m_process; }

private:
    CProcess m_process;
    HWND m_hWindow = nullptr;
};

}  // namespace testing_support
