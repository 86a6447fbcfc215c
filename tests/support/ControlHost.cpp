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

bool CControlHost::InFrontAt(POINT topLeft)
{
    ::SetWindowPos(m_hWindow, HWND_TOPMOST, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE);
    RECT rect = {};
    return WaitUntil(
        [&] { return ::GetWindowRect(m_hWindow, &rect) && rect.left == topLeft.x && rect.top == topLeft.y; }, 2000);
}

bool CControlHost::InFrontAtLowerLeft()
{
    RECT rect = {};
    ::GetWindowRect(m_hWindow, &rect);
    return InFrontAt(POINT{0, ::GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)});
}

}  // namespace testing_support
