#include "text/ControlReaders.h"

#include "text/ProcessMemory.h"
#include "text/RemoteItems.h"
#include "framework/Unicode.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace {
// The depth of tree the walk follows; one level more is refused.
const int kTreeStackSize = 1024;
// The most items one batch asks of a list view or a header: their structures and texts take
// about 280 KB of the target's memory, placed with one write and read back with one read, so
// that each cell costs little more than its message.
const int kBatchItems = 128;
// An owner-data list whose owner answers nothing for every cell of its first rows (this many,
// or all it has) keeps its items to itself: it is refused rather than read as empty rows. A
// list that leaves some cells empty is read as it is; this many rows cost well under a second.
const LRESULT kOwnerDataProbeRows = 100;
// How often an item of a list or combo box is asked again whose text grew between the question
// of its length and that of its text (a live log, say) before the reading gives up on it.
const int kTextTries = 4;

const char kOwnerDataRefusal[] = "This control is having OwnerData style!\r\nSo the contents cannot be captured.";

// A control whose program would not let this one in: its items live in memory that cannot be
// reached from here. True (with the refusal in the result) when that is so.
bool RefusedEntry(const CRemoteItemReader& reader, Outcome& result)
{
    const DWORD error = reader.Memory().OpenError();
    if (error == 0)
        return false;
    result = Outcome::Refusal(UnreadableProgramMessage(error));
    return true;
}

// A reading that ended before it had read anything, for the reason its queries keep: the text
// goes nowhere (also where the user stopped it: nothing is made of nothing).
Outcome NothingRead(const CControlQuery& query)
{
    return Outcome::Refusal(NothingReadMessage(query.Failure()));
}

// One reading against its limits, item by item (a row, a line): the clock before each item
// and between the queries of one, the text's size after each whole item. Where a limit is
// reached the unfinished item is taken back, so that the text ends with whole items. Each
// whole item goes to the sink, if there is one. At its end it decides what became of the
// reading, from what was read and why it ended (a limit, or why the queries ended).
class CReadProgress
{
public:
    // `unit` and `of` are what the sink is told of how far the reading has come.
    CReadProgress(std::string& text, const ReadLimits& limits, CTextSink* sink, CutUnit unit, LRESULT of,
                  const CControlQuery& query)
        : m_text(text), m_limits(limits), m_pSink(sink), m_query(query), m_deadline(limits.maxMilliseconds),
          m_unit(unit), m_of(of)
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
    // A note that goes before the reading's own (the columns left out of every row).
    void AddNote(const std::string& note) { m_notes += note + "\r\n"; }

    // What became of a reading of `bounded` of `claimed` things: where a limit ended it, or
    // where its queries ended (nothing read: refused), or, when all of them were read, the
    // bound that cut the claim.
    Outcome Finish(LRESULT claimed, LRESULT bounded, CutReason boundReason) const
    {
        std::string note;
        if (m_bCut) {
            note = CutNote(m_unit, m_items, claimed, m_reason, m_limits);
        } else if (m_query.Failed()) {
            if (m_items == 0)
                return NothingRead(m_query);
            note = CutNote(m_unit, m_items, claimed, m_query.Failure(), m_limits);
        } else if (m_items == bounded && bounded < claimed) {
            note = CutNote(m_unit, bounded, claimed, boundReason, m_limits);
        }
        const std::string notes = m_notes + note;
        if (notes.empty())
            return Outcome();
        return Outcome::Of(Outcome::Kind::Cut, note.empty() ? notes.substr(0, notes.size() - 2) : notes);
    }

private:
    std::string& m_text;
    const ReadLimits& m_limits;
    CTextSink* m_pSink;
    const CControlQuery& m_query;
    CReadDeadline m_deadline;
    CutUnit m_unit;
    LRESULT m_of;
    std::string m_notes;
    size_t m_itemStart = 0;
    LRESULT m_items = 0;
    bool m_bCut = false;
    CutReason m_reason = CutReason::TimeLimit;
};

// Reads `units` units of `cells` cells each (a list view's rows, or a header's items of one
// cell) through the reader's slots, whose structures are set, a batch of whole units at a time:
// per unit its cells, TAB between them, then CR LF. The cell of unit u and cell c is asked with
// u in the message and the structure of slot u * cells + c. Where `answerSaysText`, a cell whose
// query answers 0 has no text (a header's item that is not there). `afterUnit(unit, hadText)` is
// told of each whole unit taken and may end the reading (false).
template <typename AfterUnit>
void ReadCells(CRemoteItemReader& reader, CReadProgress& progress, std::string& text, UINT msg, LRESULT units,
               int cells, bool answerSaysText, AfterUnit afterUnit)
{
    const int batchUnits = std::max(1, reader.Slots() / std::max(cells, 1));
    std::vector<LRESULT> answered(static_cast<size_t>(reader.Slots()));
    for (LRESULT first = 0; first < units;) {
        const int batch = static_cast<int>(std::min<LRESULT>(batchUnits, units - first));
        if (cells > 0 && !reader.Place(batch * cells))
            return;
        // The clock (and the user's stop, at each query) before each unit and between its
        // cells, as if the cells were read one by one: the units asked in full before either
        // came are still taken.
        int asked = 0;
        bool late = false, ended = false;
        for (; asked < batch; ++asked) {
            int cell = 0;
            for (; cell < cells; ++cell) {
                const int slot = asked * cells + cell;
                LRESULT& answer = answered[static_cast<size_t>(slot)];
                answer = 0;
                if ((late = progress.TimeUp()) ||
                    (ended = !reader.Ask(msg, static_cast<WPARAM>(first + asked), slot, &answer)))
                    break;
            }
            if (cell < cells || (cells == 0 && (late = progress.TimeUp())))
                break;
        }
        // The answers of a program that has just stopped answering are still in its memory.
        if (cells > 0 && asked > 0 && !reader.Fetch(asked * cells))
            return;
        for (int unit = 0; unit < asked; ++unit) {
            progress.MarkItem();
            bool hadText = false;
            for (int cell = 0; cell < cells; ++cell) {
                if (cell > 0)
                    text += '\t';
                const int slot = unit * cells + cell;
                const size_t before = text.size();
                if (!answerSaysText || answered[static_cast<size_t>(slot)])
                    reader.AppendText(text, slot);
                hadText = hadText || text.size() > before;
            }
            text += "\r\n";
            if (!progress.EndItem() || !afterUnit(first + unit, hadText))
                return;
        }
        if (ended)
            return;
        if (late) {
            progress.MarkItem();  // the units taken are whole: nothing is taken back
            progress.Abandon(CutReason::TimeLimit);
            return;
        }
        first += batch;
    }
}

// The messages of list boxes and combo boxes, and what their owner-drawn kind is called.
struct ListMessages {
    UINT count, length, text;
    LONG ownerDrawn, hasStrings;
    const char* noText;
};
const ListMessages kListBoxMessages = {
    LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE, LBS_HASSTRINGS,
    "The items of this list box cannot be copied: its program draws them itself and keeps no text for them."};
const ListMessages kComboBoxMessages = {
    CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE, CBS_HASSTRINGS,
    "The items of this combo box cannot be copied: its program draws them itself and keeps no text for them."};

// Appends the text of item `index`. The text message carries no buffer size: the buffer is as
// long as the control said, and ends where it can be written no further, so that a text that
// grew meanwhile is refused rather than written beyond it; it is then asked again. False where
// the reading ends here.
bool AppendListItem(CControlQuery& query, const ListMessages& messages, LRESULT index, CGuardedText& room,
                    CReadProgress& progress, std::string& text)
{
    for (int tries = 0; tries < kTextTries; ++tries) {
        LRESULT length = 0;
        if (!query.SendWide(messages.length, static_cast<WPARAM>(index), 0, &length))
            return false;
        if (length < 0)
            break;  // the item is gone
        // An item that claims more than the text may still take ends the reading before
        // anything is made for it.
        if (static_cast<size_t>(length) > progress.Room()) {
            progress.Abandon(CutReason::TextLimit);
            return false;
        }
        wchar_t* buffer = room.Room(static_cast<size_t>(length) + 1);
        if (!buffer)
            throw std::bad_alloc();
        buffer[0] = buffer[length] = L'\0';
        LRESULT copied = 0;
        const CControlQuery::TextAnswer answer =
            query.SendForText(messages.text, static_cast<WPARAM>(index), buffer, &copied);
        if (answer == CControlQuery::TextAnswer::Failed)
            return false;
        // A text that did not fit (or that a control of this process would not write: LB_ERR)
        // is asked again with its new length.
        if (answer == CControlQuery::TextAnswer::Given && copied >= 0 && copied <= length) {
            text += Utf8(buffer, static_cast<size_t>(std::find(buffer, buffer + length, L'\0') - buffer));
            return true;
        }
    }
    query.Fail(CutReason::Changed);
    return false;
}

// Items of a combo box or a list box. The wide messages are used: the system carries their
// buffers between processes, where the ANSI forms are not reliable (Wine fills them with
// UTF-16).
Outcome GetListItems(HWND control, const ListMessages& messages, std::string& text, const ReadLimits& limits,
                     CTextSink* sink)
{
    // Owner-drawn items without strings are numbers of their program's own, not text.
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    if ((style & messages.ownerDrawn) && !(style & messages.hasStrings))
        return Outcome::Refusal(messages.noText);
    CControlQuery query(control, sink);
    LRESULT count = 0;
    if (!query.Send(messages.count, 0, 0, &count))
        return NothingRead(query);
    const LRESULT bounded = BoundedCount(count, limits.maxItems);
    CReadProgress progress(text, limits, sink, CutUnit::Items, bounded, query);
    CGuardedText room;
    for (LRESULT i = 0; i < bounded && progress.BeginItem(); ++i) {
        if (!AppendListItem(query, messages, i, room, progress, text))
            break;
        text += "\r\n";
        if (!progress.EndItem())
            break;
    }
    return progress.Finish(count, bounded, CutReason::ItemLimit);
}
}  // namespace

Outcome GetControlText(HWND window, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    if (!::IsWindow(window))
        return Outcome::Refusal(NothingReadMessage(CutReason::Closed));
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
    return GetPlainWindowText(window, text, limits, sink);
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

bool TreeNeeds64BitReader(HWND window)
{
    char name[64] = "";
    ::GetClassNameA(window, name, sizeof name);
    if (ControlKindOf(name) != ControlKind::TreeView)
        return false;
    const CProcessMemory memory(window);
    return memory.IsOpen() &&
           !TreeHandlesFit(sizeof(void*) == 8, memory.IsTarget64Bit(), IsProcessLargeAddressAware(memory.Process()));
}

Outcome GetListViewText(HWND listView, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    // Owner-drawn lists are read like others; an owner-data list too, as far as its owner
    // answers for its cells.
    const bool ownerData = (::GetWindowLongA(listView, GWL_STYLE) & LVS_OWNERDATA) != 0;
    CControlQuery query(listView, sink);
    LRESULT rows = 0;
    if (!query.Send(LVM_GETITEMCOUNT, 0, 0, &rows))
        return NothingRead(query);
    if (rows <= 0)
        return Outcome();
    LRESULT columns = 1;
    LRESULT header = 0;
    if (!query.Send(LVM_GETHEADER, 0, 0, &header))
        return NothingRead(query);
    // Taken as it comes: 0 or -1 give rows without cells.
    if (::IsWindow(reinterpret_cast<HWND>(header)) &&
        !query.SendTo(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, &columns))
        return NothingRead(query);
    const LRESULT columnsRead = BoundedCount(columns, limits.maxColumns);
    // A row counts as one item at least, also when it has no cells.
    const LRESULT rowsRead = BoundedCount(rows, limits.maxItems / std::max<LRESULT>(columnsRead, 1));

    // A batch is whole rows: at least one, however wide.
    const int cells = static_cast<int>(columnsRead);
    const int batchRows = std::max(1, kBatchItems / std::max(cells, 1));
    CRemoteItemReader reader(listView, query, RemoteItemKind::ListView, batchRows * std::max(cells, 1));
    Outcome refused;
    if (RefusedEntry(reader, refused))
        return refused;
    CReadProgress progress(text, limits, sink, CutUnit::Rows, rowsRead, query);
    if (!reader.IsReady())
        return progress.Finish(rows, rowsRead, CutReason::ItemLimit);
    if (columnsRead < columns)
        progress.AddNote(CutNote(CutUnit::Columns, columnsRead, columns, CutReason::ColumnLimit, limits));
    // Each slot keeps its cell's structure: the row goes in the message.
    for (int slot = 0; slot < reader.Slots(); ++slot) {
        const int column = slot % std::max(cells, 1);
        reader.Set(slot, ListViewItemBytes(reader.IsTarget64Bit(), column, reader.TextAddress(slot)));
    }

    const LRESULT probeRows = ownerData && cells > 0 ? std::min(rowsRead, kOwnerDataProbeRows) : 0;
    bool anyText = false, silentOwner = false;
    ReadCells(reader, progress, text, LVM_GETITEMTEXTW, rowsRead, cells, false, [&](LRESULT row, bool hadText) {
        anyText = anyText || hadText;
        silentOwner = row + 1 == probeRows && !anyText;
        return !silentOwner;
    });
    if (silentOwner) {
        text.clear();
        return Outcome::Refusal(kOwnerDataRefusal);
    }
    return progress.Finish(rows, rowsRead, CutReason::ItemLimit);
}

Outcome GetHeaderText(HWND header, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    CControlQuery query(header, sink);
    LRESULT items = 0;
    if (!query.Send(HDM_GETITEMCOUNT, 0, 0, &items))
        return NothingRead(query);
    if (items <= 0)
        return Outcome();
    const LRESULT bounded = BoundedCount(items, limits.maxColumns);
    const int slots = static_cast<int>(std::min<LRESULT>(bounded, kBatchItems));
    CRemoteItemReader reader(header, query, RemoteItemKind::Header, slots);
    Outcome refused;
    if (RefusedEntry(reader, refused))
        return refused;
    CReadProgress progress(text, limits, sink, CutUnit::Columns, bounded, query);
    if (reader.IsReady()) {
        for (int slot = 0; slot < reader.Slots(); ++slot)
            reader.Set(slot, HeaderItemBytes(reader.IsTarget64Bit(), reader.TextAddress(slot)));
        ReadCells(reader, progress, text, HDM_GETITEMW, bounded, 1, true, [](LRESULT, bool) { return true; });
    }
    return progress.Finish(items, bounded, CutReason::ColumnLimit);
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

enum class RunAsked { Yes, Failed, NoRoom };

// Gathers up to the reader's slots of siblings from `first` on and asks them for their texts
// and states together. A query that fails, or the time running out, ends the run at the items
// whose answers came; the walk then finds out for itself at its next query or item. The texts
// read ahead count against the reading's text as much as those written (all of them will be):
// no more are kept than `room` bytes hold, the others are asked again when the walk gets there;
// where not even the first fits, the text would outgrow its limit (NoRoom).
RunAsked AskTreeRun(LRESULT first, CControlQuery& query, CRemoteItemReader& reader, const CReadProgress& progress,
                    size_t room, TreeRun& run)
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
        return RunAsked::Failed;
    std::vector<LRESULT> answered(static_cast<size_t>(count));
    int asked = 0;
    while (asked < count && !(asked > 0 && progress.TimeUp()) &&
           reader.Ask(TVM_GETITEMW, 0, asked, &answered[static_cast<size_t>(asked)]))
        ++asked;
    if (asked == 0 || !reader.Fetch(asked))
        return RunAsked::Failed;
    for (int slot = 0; slot < asked; ++slot) {
        std::string line;
        if (answered[static_cast<size_t>(slot)])
            reader.AppendText(line, slot);
        if (line.size() > room) {
            if (slot == 0)
                return RunAsked::NoRoom;
            asked = slot;
            break;
        }
        room -= std::min(room, line.size());
        run.texts.push_back(std::move(line));
        run.expanded.push_back(answered[static_cast<size_t>(slot)] &&
                               (reader.Field32(slot, TreeStateOffset(target64)) & TVIS_EXPANDED));
    }
    if (asked < count) {
        run.items.resize(static_cast<size_t>(asked));
        run.more = true;
    }
    return RunAsked::Yes;
}
}  // namespace

Outcome GetTreeViewText(HWND treeView, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    CControlQuery query(treeView, sink);
    // Its item handles would reach this process cut to 32 bits, and a cut handle sent back
    // would make the other program read a wild pointer.
    if (TreeNeeds64BitReader(treeView))
        return Outcome::Refusal(kTreeHandlesRefusal);
    CRemoteItemReader reader(treeView, query, RemoteItemKind::TreeView, kTreeBatchItems);
    Outcome refused;
    if (RefusedEntry(reader, refused))
        return refused;
    if (!reader.IsReady())
        return NothingRead(query);

    LRESULT root = 0;
    if (!query.Send(TVM_GETNEXTITEM, TVGN_ROOT, 0, &root))
        return NothingRead(query);
    if (!root)
        return Outcome();
    // Its items are not counted beforehand, and a broken tree may lead round in a circle.
    CReadProgress progress(text, limits, sink, CutUnit::TreeItems, -1, query);
    // One run per level of the walk, the root's first; the state of each item comes with its
    // text, so that an item costs its message and the one that finds its next sibling. `held`:
    // the bytes of the texts read ahead and not yet written.
    size_t held = 0;
    auto ask = [&](LRESULT first, TreeRun& run) {
        const RunAsked asked =
            AskTreeRun(first, query, reader, progress, progress.Room() - std::min(held, progress.Room()), run);
        if (asked == RunAsked::NoRoom) {
            progress.MarkItem();  // the items written are whole: nothing is taken back
            progress.Abandon(CutReason::TextLimit);
        }
        for (const std::string& line : run.texts)
            held += line.size();
        return asked == RunAsked::Yes;
    };
    std::vector<TreeRun> levels(1);
    if (!ask(root, levels.back()))
        return progress.Finish(0, 0, CutReason::ItemLimit);
    while (!levels.empty()) {
        TreeRun& run = levels.back();
        if (run.next == run.items.size()) {
            LRESULT next = 0;
            if (run.more && !query.Send(TVM_GETNEXTITEM, TVGN_NEXT, run.items.back(), &next))
                break;
            if (!next) {
                levels.pop_back();
                continue;
            }
            if (!ask(next, run))
                break;
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
        held -= run.texts[at].size();
        std::string().swap(run.texts[at]);
        if (!progress.EndItem())
            break;
        if (!run.expanded[at])
            continue;
        LRESULT child = 0;
        if (!query.Send(TVM_GETNEXTITEM, TVGN_CHILD, run.items[at], &child))
            break;
        if (!child)
            continue;
        if (levels.size() == static_cast<size_t>(kTreeStackSize) + 1) {
            // Told by whoever delivers the text: the reader mode shows nothing itself.
            return Outcome::Of(Outcome::Kind::Aborted, "Stack overfloaw!\r\nAborting...");
        }
        levels.emplace_back();
        if (!ask(child, levels.back()))
            break;
    }
    return progress.Finish(0, 0, CutReason::ItemLimit);
}

Outcome GetComboBoxText(HWND comboBox, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    return GetListItems(comboBox, kComboBoxMessages, text, limits, sink);
}

Outcome GetListBoxText(HWND listBox, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    return GetListItems(listBox, kListBoxMessages, text, limits, sink);
}

Outcome GetPlainWindowText(HWND window, std::string& text, const ReadLimits& limits, CTextSink* sink)
{
    CControlQuery query(window, sink);
    LRESULT length = 0;
    if (!query.SendWide(WM_GETTEXTLENGTH, 0, 0, &length))
        return NothingRead(query);
    if (length <= 0)
        return Outcome();
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
        return NothingRead(query);
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
    if (!cut)
        return Outcome();
    const LRESULT kept = static_cast<LRESULT>(copied);
    return Outcome::Of(Outcome::Kind::Cut, CutNote(CutUnit::Characters, kept, length, CutReason::TextLimit, limits));
}
