#include "capture/ControlText.h"

#include "capture/Delivery.h"
#include "capture/ProcessMemory.h"
#include "capture/RemoteItems.h"
#include "capture/ScreenGrab.h"
#include "framework/Handles.h"
#include "framework/MessageBox.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {
// The depth of tree the walk follows; one level more is refused.
const int kTreeStackSize = 1024;

// Items of a combo box or a list box. The wide messages are used: the system carries their
// buffers between processes, where the ANSI forms are not reliable (Wine fills them with
// UTF-16), and the text is turned into the ANSI code page here.
void GetListItems(HWND control, UINT countMsg, UINT lengthMsg, UINT textMsg, std::string& text)
{
    CControlQuery query(control);
    LRESULT count = 0;
    if (!query.Send(countMsg, 0, 0, &count))
        return;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        if (!query.SendWide(lengthMsg, static_cast<WPARAM>(i), 0, &length) || length < 0)
            return;
        std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied = 0;
        if (!query.SendWide(textMsg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()), &copied))
            return;
        wide.back() = L'\0';
        const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
        if (bytes > 1) {
            std::vector<char> narrow(static_cast<size_t>(bytes));
            ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, narrow.data(), bytes, nullptr, nullptr);
            text.append(narrow.data());
        }
        text += "\r\n";
    }
}
}  // namespace

void CopyControlText(HWND control, HWND owner)
{
    std::string text;
    GetControlText(control, text);
    SetClipboardText(owner, text);
}

void GetControlText(HWND window, std::string& text)
{
    if (!::IsWindow(window))
        return;
    char name[64] = "";
    ::GetClassNameA(window, name, sizeof name);
    switch (ControlKindOf(name)) {
    case ControlKind::ListView:
        GetListViewText(window, text);
        break;
    case ControlKind::Header:
        GetHeaderText(window, text);
        break;
    case ControlKind::TreeView:
        GetTreeViewText(window, text);
        break;
    case ControlKind::ComboBox:
        GetComboBoxText(window, text);
        break;
    case ControlKind::ListBox:
        GetListBoxText(window, text);
        break;
    case ControlKind::Other:
        GetPlainWindowText(window, text);
        break;
    }
}

ControlKind ControlKindOf(const char* className)
{
    if (!::lstrcmpiA(className, "SysListView32"))
        return ControlKind::ListView;
    if (!::lstrcmpiA(className, "SysHeader32"))
        return ControlKind::Header;
    if (!::lstrcmpiA(className, "SysTreeView32"))
        return ControlKind::TreeView;
    if (!::lstrcmpiA(className, "ComboBox"))
        return ControlKind::ComboBox;
    if (!::lstrcmpiA(className, "ListBox"))
        return ControlKind::ListBox;
    return ControlKind::Other;
}

void GetListViewText(HWND listView, std::string& text)
{
    // Owner-drawn lists are read like others; an owner-data list keeps its items to itself.
    if (::GetWindowLongA(listView, GWL_STYLE) & LVS_OWNERDATA)
        return;
    CControlQuery query(listView);
    LRESULT rows = 0;
    if (!query.Send(LVM_GETITEMCOUNT, 0, 0, &rows) || rows <= 0)
        return;
    LRESULT columns = 1;
    LRESULT header = 0;
    if (query.Send(LVM_GETHEADER, 0, 0, &header) && ::IsWindow(reinterpret_cast<HWND>(header))) {
        CControlQuery headerQuery(reinterpret_cast<HWND>(header));
        // Taken as it comes: 0 or -1 give rows without cells.
        if (!headerQuery.Send(HDM_GETITEMCOUNT, 0, 0, &columns))
            return;
    }

    CRemoteItemReader reader(listView, query);
    if (!reader.IsReady())
        return;
    for (LRESULT row = 0; row < rows; ++row) {
        for (LRESULT column = 0; column < columns; ++column) {
            // The cell ends at its NUL: the count the control answers is not always its length
            // in bytes (double-byte text), and a failed query leaves the emptied block as it is.
            const auto item = ListViewItemBytes(reader.IsTarget64Bit(), static_cast<int>(column), reader.TextAddress());
            if (!reader.Ask(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), item))
                return;
            if (column > 0)
                text += '\t';
            reader.AppendText(text);
        }
        text += "\r\n";
    }
}

void GetHeaderText(HWND header, std::string& text)
{
    CControlQuery query(header);
    LRESULT items = 0;
    if (!query.Send(HDM_GETITEMCOUNT, 0, 0, &items) || items <= 0)
        return;
    CRemoteItemReader reader(header, query);
    if (!reader.IsReady())
        return;
    const auto item = HeaderItemBytes(reader.IsTarget64Bit(), reader.TextAddress());
    for (LRESULT i = 0; i < items; ++i) {
        LRESULT answered = 0;
        if (!reader.Ask(HDM_GETITEMA, static_cast<WPARAM>(i), item, &answered))
            return;
        if (answered)
            reader.AppendText(text);
        text += "\r\n";
    }
}

void GetTreeViewText(HWND treeView, std::string& text)
{
    CControlQuery query(treeView);
    CRemoteItemReader reader(treeView, query);
    const CProcessMemory& memory = reader.Memory();
    if (memory.IsOpen() &&
        !TreeHandlesFit(sizeof(void*) == 8, reader.IsTarget64Bit(), IsProcessLargeAddressAware(memory.Process()))) {
        // Its item handles would reach this process cut to 32 bits, and a cut handle sent back
        // would make the other program read a wild pointer.
        GetPlainWindowText(treeView, text);
        return;
    }
    if (!reader.IsReady())
        return;

    LRESULT ancestors[kTreeStackSize];
    int top = -1;
    LRESULT current = 0;
    if (!query.Send(TVM_GETNEXTITEM, TVGN_ROOT, 0, &current))
        return;
    while (current) {
        const auto item = TreeViewItemBytes(reader.IsTarget64Bit(), static_cast<uint64_t>(static_cast<ULONG_PTR>(current)),
                                            reader.TextAddress());
        LRESULT answered = 0;
        if (!reader.Ask(TVM_GETITEMA, 0, item, &answered))
            return;
        text.append(static_cast<size_t>(top + 1), '\t');
        if (answered)
            reader.AppendText(text);
        text += "\r\n";

        LRESULT state = 0, child = 0;
        if (!query.Send(TVM_GETITEMSTATE, static_cast<WPARAM>(current), TVIS_EXPANDED, &state))
            return;
        if ((state & TVIS_EXPANDED) && !query.Send(TVM_GETNEXTITEM, TVGN_CHILD, current, &child))
            return;
        if (child) {
            if (++top == kTreeStackSize) {
                AppMessageBox("Stack overfloaw!\r\nAborting...", MB_OK | MB_ICONHAND);
                return;
            }
            ancestors[top] = current;
            current = child;
            continue;
        }
        // Climb to the next sibling of the item or of its nearest ancestor that has one.
        for (;;) {
            LRESULT next = 0;
            if (!query.Send(TVM_GETNEXTITEM, TVGN_NEXT, current, &next))
                return;
            if (next) {
                current = next;
                break;
            }
            if (top < 0) {
                current = 0;
                break;
            }
            current = ancestors[top--];
        }
    }
}

void GetComboBoxText(HWND comboBox, std::string& text)
{
    // Owner-drawn boxes are read like others: their strings may differ from what they show.
    GetListItems(comboBox, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, text);
}

void GetListBoxText(HWND listBox, std::string& text)
{
    GetListItems(listBox, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, text);
}

void GetPlainWindowText(HWND window, std::string& text)
{
    CControlQuery query(window);
    LRESULT length = 0;
    if (!query.Send(WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0)
        return;
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied = 0;
    if (!query.Send(WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &copied))
        return;
    buffer.back() = '\0';
    text.assign(buffer.data());
}

void SetClipboardText(HWND owner, const std::string& text)
{
    CClipboard clipboard(owner);
    if (!clipboard.IsOpen()) {
        AppMessageBox("Clipboard operation failed!", MB_OK | MB_ICONHAND);
        return;
    }
    ::EmptyClipboard();
    const size_t size = text.size() + 1;
    CGlobalMemory block(::GlobalAlloc(GMEM_MOVEABLE, size));
    {
        CGlobalLock<char> lock(block);
        if (lock)
            std::memcpy(lock.Get(), text.c_str(), size);
        else
            block.Reset();
    }
    if (!block) {
        clipboard.Close();
        ShowOutOfMemory();
        return;
    }
    const bool placed = ::SetClipboardData(CF_TEXT, block) != nullptr;
    if (placed)
        block.Detach();  // the clipboard owns it now
    // Closed before any message, so that other programs are not kept from the clipboard.
    clipboard.Close();
    if (!placed)
        AppMessageBox("Clipboard operation failed!", MB_OK | MB_ICONHAND);
    PlayShutter();
}
