#include "support/ControlHost.h"

#include "support/Files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace testing_support {

std::string Golden(const char* name)
{
    std::ifstream in(WindowsPath(std::string(PIXLET_TEST_DATA_DIR) + "/golden/" + name), std::ios::binary);
    EXPECT_TRUE(in) << "no golden file " << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

CControlHost::CControlHost(const char* scenario, const char* program)
{
    if (!m_process.Start(BuildDirectory() + program, scenario))
        return;
    WaitUntil(
        [this] {
            for (HWND hwnd : TopLevelWindows(m_process.Pid(), "PixletTestHost"))
                if (::IsWindowVisible(hwnd))
                    m_hWindow = hwnd;
            return m_hWindow != nullptr;
        },
        20000);
}

bool CControlHost::InFrontAtLowerLeft()
{
    RECT rect = {};
    ::GetWindowRect(m_hWindow, &rect);
    const int top = ::GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top);
    ::SetWindowPos(m_hWindow, HWND_TOPMOST, 0, top, 0, 0, SWP_NOSIZE);
    return WaitUntil([&] { return ::GetWindowRect(m_hWindow, &rect) && rect.left == 0 && rect.top == top; }, 2000);
}

}  // namespace testing_support
