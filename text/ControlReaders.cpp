#include "text/ControlReaders.h"

#include "text/ProcessMemory.h"
#include "text/RemoteItems.h"
#include "framework/Unicode.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {
// The depth of tree the walk follows; one level more is refused.
const int kTreeStackSize = 1024;
// The most items one batch asks of a list view or a header: their structures and texts take
// about 280 KB of the target's memory, placed with one write and read back with one read, so
// that each cell costs little more than its message.
const int kBatchItems = 128;
// The most siblings of a tree asked in one batch; a tree's levels are mostly shorter.
const int kTreeBatchItems = 64;
// An owner-data list whose owner answers nothing for every cell of its first rows (this many,
// or all it has) keeps its items to itself: it is refused rather than read as empty rows. A
// list that leaves some cells empty is read as it is; this many rows cost well under a second.
const LRESULT kOwnerDataProbeRows = 100;

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
        MarkItem();
        return InTime();
    }
    // Marks where the next item begins, its queries already answered.
    void MarkItem() { m_itemStart = m_text.size(); }
    // Within an item: false once the time is up.
    bool InTime()
    {
        if (!TimeUp())
            return true;
        Abandon(CutReason::TimeLimit);
        return false;
    }
    // Whether the time is up, ending nothing yet: the items already asked may still be taken.
    bool TimeUp() const { return m_deadline.Passed(); }
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
// UTF-16).
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
        text += Utf8(wide.data());
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

const char kOwnerDataRefusal[] = "This control is having OwnerData style!\r\nSo the contents cannot be captured.";

ReadResult GetListViewText(HWND listView, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    ReadResult result;
    // Owner-drawn lists are read like others; an owner-data list too, as far as its owner
    // answers for its cells.
    const bool ownerData = (::GetWindowLongA(listView, GWL_STYLE) & LVS_OWNERDATA) != 0;
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

    // A batch is whole rows: at least one, however wide.
    const int cells = static_cast<int>(std::max<LRESULT>(columnsRead, 1));
    const int batchRows = std::max(1, kBatchItems / cells);
    CRemoteItemReader reader(listView, query, RemoteItemKind::ListView, batchRows * cells);
    if (RefusedEntry(reader, result) || !reader.IsReady())
        return result;
    if (columnsRead < columns)
        AddCut(result, CutNote(CutUnit::Columns, columnsRead, columns, CutReason::ColumnLimit, limits));
    // Each slot keeps its cell's structure: the row goes in the message.
    for (int slot = 0; slot < batchRows * cells; ++slot)
        reader.Set(slot, ListViewItemBytes(reader.IsTarget64Bit(), slot % cells, reader.TextAddress(slot)));

    CReadProgress progress(text, limits, sink, CutUnit::Rows, rowsRead);
    const LRESULT probeRows = ownerData ? std::min(rowsRead, kOwnerDataProbeRows) : 0;
    bool anyText = false;
    for (LRESULT first = 0; first < rowsRead;) {
        const int batch = static_cast<int>(std::min<LRESULT>(batchRows, rowsRead - first));
        if (columnsRead > 0 && !reader.Place(batch * cells))
            return result;
        // The clock before each row and between the cells of one, as if the cells were read one
        // by one: the rows asked in full before the time ran out are still taken.
        int asked = 0;
        bool late = false, failed = false;
        for (; asked < batch; ++asked) {
            LRESULT column = 0;
            for (; column < columnsRead; ++column) {
                if ((late = progress.TimeUp()))
                    break;
                // The cell ends at its NUL: the count the control answers is not always its
                // length, and a failed query leaves the emptied block as it is.
                if ((failed = !reader.Ask(LVM_GETITEMTEXTW, static_cast<WPARAM>(first + asked),
                                          asked * cells + static_cast<int>(column))))
                    break;
            }
            if (columnsRead == 0 && (late = progress.TimeUp()))
                break;
            if (column < columnsRead)
                break;
        }
        // The answers of a program that has just stopped answering are still in its memory.
        if (columnsRead > 0 && asked > 0 && !reader.Fetch(asked * cells))
            return result;
        for (int row = 0; row < asked; ++row) {
            progress.MarkItem();
            for (LRESULT column = 0; column < columnsRead; ++column) {
                if (column > 0)
                    text += '\t';
                const size_t before = text.size();
                reader.AppendText(text, row * cells + static_cast<int>(column));
                anyText = anyText || text.size() > before;
            }
            text += "\r\n";
            if (first + row + 1 == probeRows && columnsRead > 0 && !anyText) {
                text.clear();
                result.outcome = ReadResult::Outcome::Refused;
                result.message = kOwnerDataRefusal;
                return result;
            }
            if (!progress.EndItem()) {
                progress.NoteCut(result, CutUnit::Rows, rows, rowsRead, CutReason::ItemLimit);
                return result;
            }
        }
        if (failed)
            return result;
        if (late) {
            progress.MarkItem();  // the rows taken are whole: nothing is taken back
            progress.Abandon(CutReason::TimeLimit);
            break;
        }
        first += batch;
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
    const int slots = static_cast<int>(std::min<LRESULT>(bounded, kBatchItems));
    CRemoteItemReader reader(header, query, RemoteItemKind::Header, slots);
    if (RefusedEntry(reader, result) || !reader.IsReady())
        return result;
    for (int slot = 0; slot < slots; ++slot)
        reader.Set(slot, HeaderItemBytes(reader.IsTarget64Bit(), reader.TextAddress(slot)));
    CReadProgress progress(text, limits, sink, CutUnit::Columns, bounded);
    std::vector<LRESULT> answered(static_cast<size_t>(slots));
    for (LRESULT first = 0; first < bounded;) {
        const int batch = static_cast<int>(std::min<LRESULT>(slots, bounded - first));
        if (!reader.Place(batch))
            return result;
        int asked = 0;
        bool late = false, failed = false;
        for (; asked < batch; ++asked) {
            if ((late = progress.TimeUp()))
                break;
            answered[asked] = 0;
            if ((failed = !reader.Ask(HDM_GETITEMW, static_cast<WPARAM>(first + asked), asked, &answered[asked])))
                break;
        }
        if (asked > 0 && !reader.Fetch(asked))
            return result;
        for (int i = 0; i < asked; ++i) {
            progress.MarkItem();
            if (answered[i])
                reader.AppendText(text, i);
            text += "\r\n";
            if (!progress.EndItem()) {
                progress.NoteCut(result, CutUnit::Columns, items, bounded, CutReason::ColumnLimit);
                return result;
            }
        }
        if (failed)
            return result;
        if (late) {
            progress.MarkItem();  // the rows taken are whole: nothing is taken back
            progress.Abandon(CutReason::TimeLimit);
            break;
        }
        first += batch;
    }
    progress.NoteCut(result, CutUnit::Columns, items, bounded, CutReason::ColumnLimit);
    return result;
}

namespace {
// A run of siblings of a tree, asked together, and how far the walk has gone through it.
struct TreeRun {
    std::vector<LRESULT> items;
    std::vector<std::string> texts;
    std::vector<bool> expanded;
    size_t next = 0;
    // Whether its last item may have further siblings, to be asked for when the walk gets there.
    bool more = false;
};

// Gathers up to the reader's slots of siblings from `first` on and asks them for their texts
// and states together. A query that fails, or the time running out, ends the run at the items
// whose answers came; the walk then finds out for itself at its next query or item.
bool AskTreeRun(LRESULT first, CControlQuery& query, CRemoteItemReader& reader, const CReadProgress& progress,
                TreeRun& run)
{
    run = TreeRun();
    run.items.push_back(first);
    run.more = true;
    while (run.items.size() < static_cast<size_t>(reader.Slots()) && !progress.TimeUp()) {
        LRESULT next = 0;
        if (!query.Send(TVM_GETNEXTITEM, TVGN_NEXT, run.items.back(), &next))
            break;
        if (!next) {
            run.more = false;
            break;
        }
        run.items.push_back(next);
    }
    const int count = static_cast<int>(run.items.size());
    const bool target64 = reader.IsTarget64Bit();
    for (int slot = 0; slot < count; ++slot)
        reader.Set(slot, TreeViewItemBytes(target64, static_cast<uint64_t>(static_cast<ULONG_PTR>(run.items[slot])),
                                           reader.TextAddress(slot)));
    if (!reader.Place(count))
        return false;
    std::vector<LRESULT> answered(static_cast<size_t>(count));
    int asked = 0;
    while (asked < count && !(asked > 0 && progress.TimeUp()) &&
           reader.Ask(TVM_GETITEMW, 0, asked, &answered[static_cast<size_t>(asked)]))
        ++asked;
    if (asked == 0 || !reader.Fetch(asked))
        return false;
    if (asked < count) {
        run.items.resize(static_cast<size_t>(asked));
        run.more = true;
    }
    for (int slot = 0; slot < asked; ++slot) {
        std::string line;
        if (answered[static_cast<size_t>(slot)])
            reader.AppendText(line, slot);
        run.texts.push_back(std::move(line));
        run.expanded.push_back(answered[static_cast<size_t>(slot)] &&
                               (reader.Field32(slot, TreeStateOffset(target64)) & TVIS_EXPANDED));
    }
    return true;
}
}  // namespace

ReadResult GetTreeViewText(HWND treeView, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    ReadResult result;
    CControlQuery query(treeView);
    CRemoteItemReader reader(treeView, query, RemoteItemKind::TreeView, kTreeBatchItems);
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

    LRESULT root = 0;
    if (!query.Send(TVM_GETNEXTITEM, TVGN_ROOT, 0, &root) || !root)
        return result;
    // Its items are not counted beforehand, and a broken tree may lead round in a circle.
    CReadProgress progress(text, limits, sink, CutUnit::TreeItems, -1);
    // One run per level of the walk, the root's first; the state of each item comes with its
    // text, so that an item costs its message and the one that finds its next sibling.
    std::vector<TreeRun> levels(1);
    if (!AskTreeRun(root, query, reader, progress, levels.back()))
        return result;
    while (!levels.empty()) {
        TreeRun& run = levels.back();
        if (run.next == run.items.size()) {
            LRESULT next = 0;
            if (run.more && !query.Send(TVM_GETNEXTITEM, TVGN_NEXT, run.items.back(), &next))
                return result;
            if (!next) {
                levels.pop_back();
                continue;
            }
            if (!AskTreeRun(next, query, reader, progress, run))
                return result;
            continue;
        }
        const size_t at = run.next++;
        if (!progress.BeginItem())
            break;
        if (progress.Items() == limits.maxItems) {
            progress.Abandon(CutReason::ItemLimit);
            break;
        }
        text.append(levels.size() - 1, '\t');
        text += run.texts[at];
        text += "\r\n";
        if (!progress.EndItem())
            break;
        if (!run.expanded[at])
            continue;
        LRESULT child = 0;
        if (!query.Send(TVM_GETNEXTITEM, TVGN_CHILD, run.items[at], &child))
            return result;
        if (!child)
            continue;
        if (levels.size() == static_cast<size_t>(kTreeStackSize) + 1) {
            // Told by whoever delivers the text: the reader mode shows nothing itself.
            result.outcome = ReadResult::Outcome::Aborted;
            result.message = "Stack overfloaw!\r\nAborting...";
            return result;
        }
        levels.emplace_back();
        if (!AskTreeRun(child, query, reader, progress, levels.back()))
            return result;
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
    LRESULT length = 0;
    if (!query.SendWide(WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0)
        return result;
    // The text message carries the buffer's size, so a text longer than the limit arrives cut.
    // A character takes one byte of the text at least; the text is cut again where its UTF-8
    // form is longer than the limit, at a character's end.
    const bool limited = static_cast<size_t>(length) > limits.maxTextBytes;
    const size_t room = limited ? limits.maxTextBytes : static_cast<size_t>(length);
    // Left unfilled: only what the window writes is touched.
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[room + 1]);
    buffer[0] = L'\0';
    buffer[room] = L'\0';
    if (!query.SendWide(WM_GETTEXT, room + 1, reinterpret_cast<LPARAM>(buffer.get())))
        return result;
    size_t copied = std::find(buffer.get(), buffer.get() + room, L'\0') - buffer.get();
    text = Utf8(buffer.get(), copied);
    bool cut = limited && copied == room;  // a window may claim more than it has
    if (text.size() > limits.maxTextBytes) {
        // Whole characters only: never the first half of a surrogate pair.
        size_t bytes = 0, kept = 0;
        while (kept < copied) {
            const wchar_t c = buffer[kept];
            const bool pair = IS_HIGH_SURROGATE(c) && kept + 1 < copied && IS_LOW_SURROGATE(buffer[kept + 1]);
            const size_t more = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
            if (bytes + more > limits.maxTextBytes)
                break;
            bytes += more;
            kept += pair ? 2 : 1;
        }
        text.resize(bytes);
        copied = kept;
        cut = true;
    }
    if (cut)
        AddCut(result, CutNote(CutUnit::Characters, static_cast<LRESULT>(copied), length, CutReason::TextLimit, limits));
    return result;
}
