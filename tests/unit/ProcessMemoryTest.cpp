// Memory placed in another process (control_host.exe), and the item structures laid out there
// for that process's pointer width.
#include "text/ProcessMemory.h"
#include "text/RemoteItems.h"
#include "support/ControlHost.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

using namespace testing_support;

TEST(ProcessMemory, BlocksInAnotherProcessAreZeroedWrittenReadAndFreed)
{
    CControlHost host("controls");
    ASSERT_TRUE(host.Window());
    void* first = nullptr;
    const char kMarker[] = "written into the first block";
    {
        CProcessMemory memory(host.Window());
        ASSERT_TRUE(memory.IsOpen());
        first = memory.Alloc(1024);
        void* second = memory.Alloc(64);
        ASSERT_TRUE(first && second);
        char block[1024];
        ASSERT_TRUE(memory.Read(first, block, sizeof block));
        EXPECT_EQ(std::count(block, block + sizeof block, '\0'), 1024) << "fresh blocks read as an empty text";
        ASSERT_TRUE(memory.Write(second, "remote", 7));
        ASSERT_TRUE(memory.Write(first, kMarker, sizeof kMarker));
        char back[7] = "";
        ASSERT_TRUE(memory.Read(second, back, 7));
        EXPECT_STREQ(back, "remote");
        EXPECT_FALSE(memory.Write(nullptr, "x", 1));
        EXPECT_FALSE(memory.Read(second, nullptr, 1));
    }
    // Gone with the object: what was written there is gone. The target may take the address
    // again at once for memory of its own, which never holds what this process wrote.
    DWORD pid = 0;
    ::GetWindowThreadProcessId(host.Window(), &pid);
    HANDLE process = ::OpenProcess(PROCESS_VM_READ, FALSE, pid);
    ASSERT_TRUE(process);
    char after[sizeof kMarker] = "";
    const bool readable = ::ReadProcessMemory(process, first, after, sizeof after, nullptr) != FALSE;
    EXPECT_FALSE(readable && std::memcmp(after, kMarker, sizeof kMarker) == 0) << "the block was not released";
    ::CloseHandle(process);
}

TEST(ProcessMemory, AWindowThatIsGoneOpensNothing)
{
    HWND gone = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    CProcessMemory memory(gone);
    EXPECT_FALSE(memory.IsOpen());
    EXPECT_EQ(memory.Alloc(40), nullptr);
    char buffer[4] = "abc";
    EXPECT_FALSE(memory.Read(memory.Alloc(4), buffer, 4));
    EXPECT_STREQ(buffer, "abc");

    // A window of this very process is read like any other.
    HWND own = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    CProcessMemory self(own);
    EXPECT_TRUE(self.IsOpen());
    EXPECT_EQ(self.IsTarget64Bit(), sizeof(void*) == 8);
    EXPECT_NE(self.Alloc(16), nullptr);
    ::DestroyWindow(own);
}

TEST(RemoteItems, StructuresAreLaidOutForTheTargetsPointerWidth)
{
    const uint64_t text = 0x0000000123456780ull;
    auto field32 = [](const std::vector<uint8_t>& b, size_t at) { uint32_t v; memcpy(&v, &b[at], 4); return v; };
    auto field64 = [](const std::vector<uint8_t>& b, size_t at) { uint64_t v; memcpy(&v, &b[at], 8); return v; };

    // The text blocks hold 1024 wide characters.
    auto list32 = ListViewItemBytes(false, 2, 0x00ABCDEF);
    ASSERT_EQ(list32.size(), 60u);
    EXPECT_EQ(field32(list32, 0), 0u);  // mask
    EXPECT_EQ(field32(list32, 8), 2u);  // iSubItem
    EXPECT_EQ(field32(list32, 20), 0x00ABCDEFu);
    EXPECT_EQ(field32(list32, 24), 1024u);
    auto list64 = ListViewItemBytes(true, 4, text);
    ASSERT_EQ(list64.size(), 88u);
    EXPECT_EQ(field32(list64, 8), 4u);
    EXPECT_EQ(field64(list64, 24), text);
    EXPECT_EQ(field32(list64, 32), 1024u);

    auto header32 = HeaderItemBytes(false, 0x00ABCDEF);
    ASSERT_EQ(header32.size(), 48u);
    EXPECT_EQ(field32(header32, 0), unsigned(HDI_TEXT));
    EXPECT_EQ(field32(header32, 8), 0x00ABCDEFu);
    EXPECT_EQ(field32(header32, 16), 1024u);
    auto header64 = HeaderItemBytes(true, text);
    ASSERT_EQ(header64.size(), 72u);
    EXPECT_EQ(field64(header64, 8), text);
    EXPECT_EQ(field32(header64, 24), 1024u);

    auto tree32 = TreeViewItemBytes(false, 0x1234, 0x00ABCDEF);
    ASSERT_EQ(tree32.size(), 40u);
    EXPECT_EQ(field32(tree32, 0), unsigned(TVIF_TEXT | TVIF_STATE));
    EXPECT_EQ(field32(tree32, 4), 0x1234u);
    EXPECT_EQ(field32(tree32, 12), unsigned(TVIS_EXPANDED));  // stateMask: whether it is expanded
    EXPECT_EQ(field32(tree32, 16), 0x00ABCDEFu);
    EXPECT_EQ(field32(tree32, 20), 1024u);
    auto tree64 = TreeViewItemBytes(true, 0x00000002ABCD1234ull, text);
    ASSERT_EQ(tree64.size(), 56u);
    EXPECT_EQ(field64(tree64, 8), 0x00000002ABCD1234ull);
    EXPECT_EQ(field32(tree64, 20), unsigned(TVIS_EXPANDED));
    EXPECT_EQ(TreeStateOffset(false), 8u);
    EXPECT_EQ(TreeStateOffset(true), 16u);
    EXPECT_EQ(field64(tree64, 24), text);
    EXPECT_EQ(field32(tree64, 32), 1024u);

    // Tree item handles reach a 32-bit reader intact only from 32-bit programs, or from 64-bit
    // ones that cannot use memory above 2 GB.
    EXPECT_TRUE(TreeHandlesFit(false, false, true));
    EXPECT_TRUE(TreeHandlesFit(false, true, false));
    EXPECT_FALSE(TreeHandlesFit(false, true, true));
    EXPECT_TRUE(TreeHandlesFit(true, true, true));
}

TEST(RemoteItems, ABlockIsAppendedUpToItsTerminatorAndNeverPastIt)
{
    std::string text = "x";
    wchar_t block[8] = {L'a', 0x00E9, L'\0', L'c', L'd', L'e', L'f', L'g'};
    AppendBlockText(text, block, 8);
    EXPECT_EQ(text, "xa\xC3\xA9") << "as UTF-8";
    wchar_t full[8] = {L'1', L'2', L'3', L'4', L'5', L'6', L'7', L'8'};  // no terminator at all
    AppendBlockText(text, full, 8);
    EXPECT_EQ(text, "xa\xC3\xA9" "1234567");
}

TEST(RemoteItems, AControlsOwnTextIsReadUpToItsTerminatorItsBoundOrAnUnreadablePage)
{
    HWND own = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    CProcessMemory self(own);
    auto* pages = static_cast<wchar_t*>(::VirtualAlloc(nullptr, 8192, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(::VirtualProtect(reinterpret_cast<char*>(pages) + 4096, 4096, PAGE_NOACCESS, &old));
    auto address = [](const wchar_t* at) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(at)); };
    // Across the first page's end the text goes on; past it nothing can be read.
    wchar_t* last = pages + 2048 - 3;
    last[0] = L'x', last[1] = L'y', last[2] = L'z';
    EXPECT_EQ(ReadRemoteWideText(self, address(last), 1024), L"xyz");
    std::wcscpy(pages, L"hello");
    EXPECT_EQ(ReadRemoteWideText(self, address(pages), 1024), L"hello");
    EXPECT_EQ(ReadRemoteWideText(self, address(pages), 4), L"hel") << "the bound holds the terminator";
    EXPECT_EQ(ReadRemoteWideText(self, 0, 1024), L"");
    ::VirtualFree(pages, 0, MEM_RELEASE);
    ::DestroyWindow(own);
}
