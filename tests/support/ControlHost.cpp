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

bool CControlHost::Hang(DWORD ms)
{
    ::PostMessageA(m_hWindow, WM_APP, ms, 0);
    return WaitUntil([&] {
        DWORD_PTR answer = 0;
        return !::SendMessageTimeoutA(m_hWindow, WM_NULL, 0, 0, SMTO_NORMAL, 100, &answer);
    }, 10000);
}

namespace {
struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<ControlSearch*>(lParam);
    if (::GetDlgCtrlID(hwnd) != search->id)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}
}  // namespace

HWND CControlHost::Control(int id) const
{
    HWND child = ::GetDlgItem(m_hWindow, id);
    if (child || id == 0)  // 0 is no control's id: windows without one have it
        return child;
    // Deeper down, as a list inside the window of its owner.
    ControlSearch search = {id, nullptr};
    ::EnumChildWindows(m_hWindow, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace testing_support
