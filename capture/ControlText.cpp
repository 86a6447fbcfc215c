#include "capture/ControlText.h"

#include "capture/ProcessMemory.h"
#include "capture/RemoteItems.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {
// The depth of tree the walk follows; one level more is refused.
const int kTreeStackSize = 1024;

// A control whose program would not let this one in: its items live in memory that cannot be
// reached from here. True (with the refusal in the result) when that is so.
bool RefusedEntry(const CRemoteItemReader& reader, ReadResult& result)
{
    const DWORD error = reader.Memory().OpenError();
    if (error == 0)
        return false;
    result.outcome = ReadResult::Outcome::Refused;
    result.message = UnreadableProgramMessage(error);
    return true;
}

void AddCut(ReadResult& result, const std::string& note)
{
    result.outcome = ReadResult::Outcome::Cut;
    if (!result.message.empty())
        result.message += "\r\n";
    result.message += note;
}

// One reading against its limits, item by item (a row, a line): the clock before each item
// and between the queries of one, the text's size after each whole item. Where a limit is
// reached the unfinished item is taken back, so that the text ends with whole items. Each
// whole item goes to the sink, if there is one.
class CReadProgress
{
public:
    // `unit` and `of` are what the sink is told of how far the reading has come.
    CReadProgress(std::string& text, const ReadLimits& limits, CTextSink* sink, CutUnit unit, LRESULT of)
        : m_text(text), m_limits(limits), m_pSink(sink), m_deadline(limits.maxMilliseconds), m_unit(unit), m_of(of)
    {
        if (m_pSink)
            m_pSink->Counted(m_unit, 0, m_of);
    }
    // Marks where the next item begins; false once the time is up.
    bool BeginItem()
    {
        m_itemStart = m_text.size();
        return InTime();
    }
    // Within an item: false once the time is up.
    bool InTime()
    {
        if (!m_deadline.Passed())
            return true;
        Abandon(CutReason::TimeLimit);
        return false;
    }
    // After a whole item: false once the text has outgrown its limit, or the sink wants no more.
    bool EndItem()
    {
        if (m_text.size() > m_limits.maxTextBytes) {
            Abandon(CutReason::TextLimit);
            return false;
        }
        ++m_items;
        if (!m_pSink)
            return true;
        m_pSink->Counted(m_unit, m_items, m_of);
        if (m_pSink->Grew(m_text))
            return true;
        // The item is whole: nothing is taken back.
        m_reason = CutReason::Stopped;
        m_bCut = true;
        return false;
    }
    // Ends the reading at the item begun last.
    void Abandon(CutReason reason)
    {
        m_text.resize(m_itemStart);
        m_reason = reason;
        m_bCut = true;
    }
    // How many bytes the text may still grow by.
    size_t Room() const { return m_limits.maxTextBytes - std::min(m_text.size(), m_limits.maxTextBytes); }
    LRESULT Items() const { return m_items; }

    // The note for a reading of `bounded` of `claimed` things: either where a limit stopped
    // it, or, when all of them were read, the bound that cut the claim.
    void NoteCut(ReadResult& result, CutUnit unit, LRESULT claimed, LRESULT bounded, CutReason boundReason) const
    {
        if (m_bCut)
            AddCut(result, CutNote(unit, m_items, claimed, m_reason, m_limits));
        else if (m_items == bounded && bounded < claimed)
            AddCut(result, CutNote(unit, bounded, claimed, boundReason, m_limits));
    }

private:
    std::string& m_text;
    const ReadLimits& m_limits;
    CTextSink* m_pSink;
    CReadDeadline m_deadline;
    CutUnit m_unit;
    LRESULT m_of;
    size_t m_itemStart = 0;
    LRESULT m_items = 0;
    bool m_bCut = false;
    CutReason m_reason = CutReason::TimeLimit;
};

// Items of a combo box or a list box. The wide messages are used: the system carries their
// buffers between processes, where the ANSI forms are not reliable (Wine fills them with
// UTF-16), and the text is turned into the ANSI code page here.
ReadResult GetListItems(HWND control, UINT countMsg, UINT lengthMsg, UINT textMsg, std::string& text,
                        const ReadLimits& limits, CTextSink* sink)
{
    ReadResult result;
    CControlQuery query(control);
    LRESULT count = 0;
    if (!query.Send(countMsg, 0, 0, &count))
        return result;
    const LRESULT bounded = BoundedCount(count, limits.maxItems);
    CReadProgress progress(text, limits, sink, CutUnit::Items, bounded);
    for (LRESULT i = 0; i < bounded && progress.BeginItem(); ++i) {
        LRESULT length = 0;
        if (!query.SendWide(lengthMsg, static_cast<WPARAM>(i), 0, &length) || length < 0)
            break;
        // The text message carries no buffer size: the buffer must be as long as the control
        // says. An item that claims more than the text may still take ends the reading before
        // anything is made for it.
        if (static_cast<size_t>(length) > progress.Room()) {
            progress.Abandon(CutReason::TextLimit);
            break;
        }
        std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied = 0;
        if (!query.SendWide(textMsg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()), &copied))
            break;
        wide.back() = L'\0';
        const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
        if (bytes > 1) {
            std::vector<char> narrow(static_cast<size_t>(bytes));
            ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, narrow.data(), bytes, nullptr, nullptr);
            text.append(narrow.data());
        }
        text += "\r\n";
        if (!progress.EndItem())
            break;
    }
    progress.NoteCut(result, CutUnit::Items, count, bounded, CutReason::ItemLimit);
    return result;
}
}  // namespace

ReadResult GetControlText(HWND window, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    if (!::IsWindow(window))
        return ReadResult();
    char name[64] = "";
    ::GetClassNameA(window, name, sizeof name);
    switch (ControlKindOf(name)) {
    case ControlKind::ListView:
        return GetListViewText(window, text, limits, sink);
    case ControlKind::Header:
        return GetHeaderText(window, text, limits, sink);
    case ControlKind::TreeView:
        return GetTreeViewText(window, text, limits, sink);
    case ControlKind::ComboBox:
        return GetComboBoxText(window, text, limits, sink);
    case ControlKind::ListBox:
        return GetListBoxText(window, text, limits, sink);
    case ControlKind::Other:
        break;
    }
    return GetPlainWindowText(window, text, limits);
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

ReadResult GetListViewText(HWND listView, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    ReadResult result;
    // Owner-drawn lists are read like others; an owner-data list keeps its items to itself.
    if (::GetWindowLongA(listView, GWL_STYLE) & LVS_OWNERDATA)
        return result;
    CControlQuery query(listView);
    LRESULT rows = 0;
    if (!query.Send(LVM_GETITEMCOUNT, 0, 0, &rows) || rows <= 0)
        return result;
    LRESULT columns = 1;
    LRESULT header = 0;
    if (query.Send(LVM_GETHEADER, 0, 0, &header) && ::IsWindow(reinterpret_cast<HWND>(header))) {
        CControlQuery headerQuery(reinterpret_cast<HWND>(header));
        // Taken as it comes: 0 or -1 give rows without cells.
        if (!headerQuery.Send(HDM_GETITEMCOUNT, 0, 0, &columns))
            return result;
    }
    const LRESULT columnsRead = BoundedCount(columns, limits.maxColumns);
    // A row counts as one item at least, also when it has no cells.
    const LRESULT rowsRead = BoundedCount(rows, limits.maxItems / std::max<LRESULT>(columnsRead, 1));

    CRemoteItemReader reader(listView, query);
    if (RefusedEntry(reader, result) || !reader.IsReady())
        return result;
    if (columnsRead < columns)
        AddCut(result, CutNote(CutUnit::Columns, columnsRead, columns, CutReason::ColumnLimit, limits));
    CReadProgress progress(text, limits, sink, CutUnit::Rows, rowsRead);
    for (LRESULT row = 0; row < rowsRead && progress.BeginItem(); ++row) {
        LRESULT column = 0;
        for (; column < columnsRead; ++column) {
            if (column > 0 && !progress.InTime())
                break;
            // The cell ends at its NUL: the count the control answers is not always its length
            // in bytes (double-byte text), and a failed query leaves the emptied block as it is.
            const auto item = ListViewItemBytes(reader.IsTarget64Bit(), static_cast<int>(column), reader.TextAddress());
            if (!reader.Ask(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), item))
                return result;
            if (column > 0)
                text += '\t';
            reader.AppendText(text);
        }
        if (column < columnsRead)  // the time ran out within the row
            break;
        text += "\r\n";
        if (!progress.EndItem())
            break;
    }
    progress.NoteCut(result, CutUnit::Rows, rows, rowsRead, CutReason::ItemLimit);
    return result;
}

ReadResult GetHeaderText(HWND header, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    ReadResult result;
    CControlQuery query(header);
    LRESULT items = 0;
    if (!query.Send(HDM_GETITEMCOUNT, 0, 0, &items) || items <= 0)
        return result;
    const LRESULT bounded = BoundedCount(items, limits.maxColumns);
    CRemoteItemReader reader(header, query);
    if (RefusedEntry(reader, result) || !reader.IsReady())
        return result;
    const auto item = HeaderItemBytes(reader.IsTarget64Bit(), reader.TextAddress());
    CReadProgress progress(text, limits, sink, CutUnit::Columns, bounded);
    for (LRESULT i = 0; i < bounded && progress.BeginItem(); ++i) {
        LRESULT answered = 0;
        if (!reader.Ask(HDM_GETITEMA, static_cast<WPARAM>(i), item, &answered))
            return result;
        if (answered)
            reader.AppendText(text);
        text += "\r\n";
        if (!progress.EndItem())
            break;
    }
    progress.NoteCut(result, CutUnit::Columns, items, bounded, CutReason::ColumnLimit);
    return result;
}

ReadResult GetTreeViewText(HWND treeView, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    ReadResult result;
    CControlQuery query(treeView);
    CRemoteItemReader reader(treeView, query);
    if (RefusedEntry(reader, result))
        return result;
    const CProcessMemory& memory = reader.Memory();
    if (memory.IsOpen() &&
        !TreeHandlesFit(sizeof(void*) == 8, reader.IsTarget64Bit(), IsProcessLargeAddressAware(memory.Process()))) {
        // Its item handles would reach this process cut to 32 bits, and a cut handle sent back
        // would make the other program read a wild pointer.
        result.outcome = ReadResult::Outcome::Needs64BitReader;
        result.message = kTreeHandlesRefusal;
        return result;
    }
    if (!reader.IsReady())
        return result;

    LRESULT ancestors[kTreeStackSize];
    int top = -1;
    LRESULT current = 0;
    if (!query.Send(TVM_GETNEXTITEM, TVGN_ROOT, 0, &current))
        return result;
    // Its items are not counted beforehand, and a broken tree may lead round in a circle.
    CReadProgress progress(text, limits, sink, CutUnit::TreeItems, -1);
    while (current && progress.BeginItem()) {
        if (progress.Items() == limits.maxItems) {
            progress.Abandon(CutReason::ItemLimit);
            break;
        }
        const auto item = TreeViewItemBytes(reader.IsTarget64Bit(), static_cast<uint64_t>(static_cast<ULONG_PTR>(current)),
                                            reader.TextAddress());
        LRESULT answered = 0;
        if (!reader.Ask(TVM_GETITEMA, 0, item, &answered))
            return result;
        text.append(static_cast<size_t>(top + 1), '\t');
        if (answered)
            reader.AppendText(text);
        text += "\r\n";
        if (!progress.EndItem())
            break;

        LRESULT state = 0, child = 0;
        if (!query.Send(TVM_GETITEMSTATE, static_cast<WPARAM>(current), TVIS_EXPANDED, &state))
            return result;
        if ((state & TVIS_EXPANDED) && !query.Send(TVM_GETNEXTITEM, TVGN_CHILD, current, &child))
            return result;
        if (child) {
            if (++top == kTreeStackSize) {
                // Told by whoever delivers the text: the reader mode shows nothing itself.
                result.outcome = ReadResult::Outcome::Aborted;
                result.message = "Stack overfloaw!\r\nAborting...";
                return result;
            }
            ancestors[top] = current;
            current = child;
            continue;
        }
        // Climb to the next sibling of the item or of its nearest ancestor that has one.
        for (;;) {
            LRESULT next = 0;
            if (!query.Send(TVM_GETNEXTITEM, TVGN_NEXT, current, &next))
                return result;
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
    progress.NoteCut(result, CutUnit::TreeItems, 0, 0, CutReason::ItemLimit);
    return result;
}

ReadResult GetComboBoxText(HWND comboBox, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    // Owner-drawn boxes are read like others: their strings may differ from what they show.
    return GetListItems(comboBox, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, text, limits, sink);
}

ReadResult GetListBoxText(HWND listBox, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    return GetListItems(listBox, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, text, limits, sink);
}

ReadResult GetPlainWindowText(HWND window, std::string& text, const ReadLimits& limits)
{
    ReadResult result;
    CControlQuery query(window);
    // The length is asked in the wide form: asked in the ANSI form of a window in another
    // process, Wine first fetches, in this process, as much text as the window claims to have.
    LRESULT length = 0;
    if (!query.SendWide(WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0)
        return result;
    CPINFO codePage = {};
    const size_t bytesPerChar = ::GetCPInfo(CP_ACP, &codePage) ? codePage.MaxCharSize : 2;
    // The text message carries the buffer's size, so a text longer than the limit arrives cut.
    const bool limited = static_cast<size_t>(length) > limits.maxTextBytes / bytesPerChar;
    const size_t room = limited ? limits.maxTextBytes : static_cast<size_t>(length) * bytesPerChar;
    std::vector<char> buffer(room + 1, '\0');
    if (!query.Send(WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())))
        return result;
    buffer.back() = '\0';
    text.assign(buffer.data());
    // A window may claim more than it has: only a buffer full up to its last character was cut.
    if (limited && text.size() + bytesPerChar > room) {
        const int copied = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        AddCut(result, CutNote(CutUnit::Characters, copied, length, CutReason::TextLimit, limits));
    }
    return result;
}
