#include "text/RemoteItems.h"

#include "framework/Unicode.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {
// Where the fields this program writes lie, for either width. Each structure is written whole,
// as today's headers define it, so that every field not set is zero. The numbers of the
// build's own width are checked against the system's structures below; the other width's are
// this table's word alone.
struct ListViewLayout {
    size_t size, subItem, text, textMax;
};
struct HeaderLayout {
    size_t size, mask, text, textMax;
};
struct TreeViewLayout {
    size_t size, mask, item, state, stateMask, text, textMax;
};
constexpr ListViewLayout kListView32 = {60, 8, 20, 24};
constexpr ListViewLayout kListView64 = {88, 8, 24, 32};  // the pointer aligned to 8
constexpr HeaderLayout kHeader32 = {48, 0, 8, 16};
constexpr HeaderLayout kHeader64 = {72, 0, 8, 24};
constexpr TreeViewLayout kTreeView32 = {40, 0, 4, 8, 12, 16, 20};
constexpr TreeViewLayout kTreeView64 = {56, 0, 8, 16, 20, 24, 32};

#ifdef _WIN64
constexpr ListViewLayout kOwnListView = kListView64;
constexpr HeaderLayout kOwnHeader = kHeader64;
constexpr TreeViewLayout kOwnTreeView = kTreeView64;
#else
constexpr ListViewLayout kOwnListView = kListView32;
constexpr HeaderLayout kOwnHeader = kHeader32;
constexpr TreeViewLayout kOwnTreeView = kTreeView32;
#endif
static_assert(sizeof(LVITEMW) == kOwnListView.size, "LVITEMW size");
static_assert(offsetof(LVITEMW, iSubItem) == kOwnListView.subItem, "LVITEMW.iSubItem");
static_assert(offsetof(LVITEMW, pszText) == kOwnListView.text, "LVITEMW.pszText");
static_assert(offsetof(LVITEMW, cchTextMax) == kOwnListView.textMax, "LVITEMW.cchTextMax");
static_assert(sizeof(HDITEMW) == kOwnHeader.size, "HDITEMW size");
static_assert(offsetof(HDITEMW, mask) == kOwnHeader.mask, "HDITEMW.mask");
static_assert(offsetof(HDITEMW, pszText) == kOwnHeader.text, "HDITEMW.pszText");
static_assert(offsetof(HDITEMW, cchTextMax) == kOwnHeader.textMax, "HDITEMW.cchTextMax");
static_assert(sizeof(TVITEMW) == kOwnTreeView.size, "TVITEMW size");
static_assert(offsetof(TVITEMW, mask) == kOwnTreeView.mask, "TVITEMW.mask");
static_assert(offsetof(TVITEMW, hItem) == kOwnTreeView.item, "TVITEMW.hItem");
static_assert(offsetof(TVITEMW, state) == kOwnTreeView.state, "TVITEMW.state");
static_assert(offsetof(TVITEMW, stateMask) == kOwnTreeView.stateMask, "TVITEMW.stateMask");
static_assert(offsetof(TVITEMW, pszText) == kOwnTreeView.text, "TVITEMW.pszText");
static_assert(offsetof(TVITEMW, cchTextMax) == kOwnTreeView.textMax, "TVITEMW.cchTextMax");
static_assert(kListView64.size <= CRemoteItemReader::kRoom && kHeader64.size <= CRemoteItemReader::kRoom &&
                  kTreeView64.size <= CRemoteItemReader::kRoom,
              "every structure fits the reader's room");
// Structures and texts stay aligned for the pointers in them.
static_assert(CRemoteItemReader::kRoom % 8 == 0 && CRemoteItemReader::kTextBytes % 8 == 0, "slot alignment");

void Put32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    std::memcpy(&bytes[offset], &value, sizeof value);
}

// A pointer-sized field of the target.
void PutPointer(std::vector<uint8_t>& bytes, bool target64, size_t offset, uint64_t value)
{
    if (target64)
        std::memcpy(&bytes[offset], &value, sizeof value);
    else
        Put32(bytes, offset, static_cast<uint32_t>(value));
}

uint64_t AddressOf(const void* remote)
{
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(remote));
}

// A text at an address of the control's choosing is read a page at a time.
const size_t kPageBytes = 4096;
}  // namespace

std::vector<uint8_t> ListViewItemBytes(bool target64, int subItem, uint64_t remoteText)
{
    const ListViewLayout& layout = target64 ? kListView64 : kListView32;
    std::vector<uint8_t> bytes(layout.size, 0);
    Put32(bytes, layout.subItem, static_cast<uint32_t>(subItem));
    PutPointer(bytes, target64, layout.text, remoteText);
    Put32(bytes, layout.textMax, kRemoteTextChars);
    return bytes;
}

std::vector<uint8_t> HeaderItemBytes(bool target64, uint64_t remoteText)
{
    const HeaderLayout& layout = target64 ? kHeader64 : kHeader32;
    std::vector<uint8_t> bytes(layout.size, 0);
    Put32(bytes, layout.mask, HDI_TEXT);
    PutPointer(bytes, target64, layout.text, remoteText);
    Put32(bytes, layout.textMax, kRemoteTextChars);
    return bytes;
}

std::vector<uint8_t> TreeViewItemBytes(bool target64, uint64_t item, uint64_t remoteText)
{
    const TreeViewLayout& layout = target64 ? kTreeView64 : kTreeView32;
    std::vector<uint8_t> bytes(layout.size, 0);
    Put32(bytes, layout.mask, TVIF_TEXT | TVIF_STATE);
    PutPointer(bytes, target64, layout.item, item);
    Put32(bytes, layout.stateMask, TVIS_EXPANDED);
    PutPointer(bytes, target64, layout.text, remoteText);
    Put32(bytes, layout.textMax, kRemoteTextChars);
    return bytes;
}

size_t TextPointerOffset(RemoteItemKind kind, bool target64)
{
    switch (kind) {
    case RemoteItemKind::ListView:
        return (target64 ? kListView64 : kListView32).text;
    case RemoteItemKind::Header:
        return (target64 ? kHeader64 : kHeader32).text;
    case RemoteItemKind::TreeView:
        break;
    }
    return (target64 ? kTreeView64 : kTreeView32).text;
}

size_t TreeStateOffset(bool target64)
{
    return (target64 ? kTreeView64 : kTreeView32).state;
}

bool TreeHandlesFit(bool reader64, bool target64, bool targetLargeAddressAware)
{
    return reader64 || !target64 || !targetLargeAddressAware;
}

void AppendBlockText(std::string& text, const wchar_t* block, size_t size)
{
    if (size == 0)
        return;
    const wchar_t* end = std::find(block, block + size - 1, L'\0');
    // Cut before the second half of a pair: the first half alone is no character.
    if (end == block + size - 1 && end != block && IS_HIGH_SURROGATE(end[-1]))
        --end;
    text += Utf8(block, static_cast<size_t>(end - block));
}

std::wstring ReadRemoteWideText(const CProcessMemory& memory, uint64_t address, size_t chars)
{
    std::wstring text;
    if (address == 0 || address > static_cast<uint64_t>(SIZE_MAX) - chars * sizeof(wchar_t))
        return text;
    // Page by page, so that a text that ends just before an unreadable page is still read.
    std::vector<wchar_t> chunk(kPageBytes / sizeof(wchar_t));
    while (text.size() + 1 < chars) {
        const size_t inPage = kPageBytes - static_cast<size_t>(address % kPageBytes);
        const size_t want = std::min(inPage / sizeof(wchar_t), chars - 1 - text.size());
        if (want == 0 || !::ReadProcessMemory(memory.Process(), reinterpret_cast<const void*>(static_cast<uintptr_t>(address)),
                                              chunk.data(), want * sizeof(wchar_t), nullptr))
            break;
        const wchar_t* end = std::find(chunk.data(), chunk.data() + want, L'\0');
        text.append(chunk.data(), static_cast<size_t>(end - chunk.data()));
        if (end != chunk.data() + want)
            break;
        address += want * sizeof(wchar_t);
    }
    return text;
}

size_t CRemoteItemReader::BlockBytes(int slots)
{
    return static_cast<size_t>(slots) * (kRoom + kTextBytes) + kTextBytes;
}

CRemoteItemReader::CRemoteItemReader(HWND control, CControlQuery& query, RemoteItemKind kind, int slots)
    : m_memory(control), m_query(query), m_kind(kind), m_bTarget64(m_memory.IsTarget64Bit()), m_nSlots(std::max(slots, 1))
{
    // A program that could not be opened is the reader's own refusal; a window that has gone,
    // or a program that has no room for the block, ends the reading.
    if (!m_memory.IsOpen() && m_memory.OpenError())
        return;
    m_pBlock = static_cast<char*>(m_memory.Alloc(static_cast<int>(BlockBytes(m_nSlots))));
    if (!m_pBlock) {
        m_query.Fail(::IsWindow(control) ? CutReason::MemoryFailed : CutReason::Closed);
        return;
    }
    m_out.assign(BatchBytes(m_nSlots), 0);
    m_in.assign(m_out.size(), 0);
}

uint64_t CRemoteItemReader::TextAddress(int slot) const
{
    return m_pBlock ? AddressOf(m_pBlock + TextsOffset() + static_cast<size_t>(slot) * kTextBytes) : 0;
}

void CRemoteItemReader::Set(int slot, const std::vector<uint8_t>& item)
{
    if (!m_pBlock || slot < 0 || slot >= m_nSlots)
        return;
    uint8_t* room = &m_out[static_cast<size_t>(slot) * kRoom];
    std::memset(room, 0, kRoom);
    std::memcpy(room, item.data(), std::min<size_t>(item.size(), kRoom));
}

bool CRemoteItemReader::Place(int count)
{
    count = std::min(count, m_nSlots);
    if (!m_pBlock || count <= 0 || m_query.Failed())
        return false;
    if (m_memory.Write(m_pBlock, m_out.data(), static_cast<int>(BatchBytes(count))))
        return true;
    m_query.Fail(CutReason::MemoryFailed);
    return false;
}

bool CRemoteItemReader::Ask(UINT msg, WPARAM wParam, int slot, LRESULT* result)
{
    if (!m_pBlock || slot < 0 || slot >= m_nSlots)
        return false;
    return m_query.SendWide(msg, wParam, reinterpret_cast<LPARAM>(m_pBlock + static_cast<size_t>(slot) * kRoom),
                            result);
}

bool CRemoteItemReader::Fetch(int count)
{
    count = std::min(count, m_nSlots);
    // Also after the queries have ended: the answers already given are in the block.
    if (m_pBlock && count > 0 && m_memory.Read(m_pBlock, m_in.data(), static_cast<int>(BatchBytes(count))))
        return true;
    std::fill(m_in.begin(), m_in.end(), 0);  // nothing is taken from a failed read
    if (m_pBlock && count > 0)
        m_query.Fail(CutReason::MemoryFailed);
    return false;
}

uint64_t CRemoteItemReader::PointerAt(int slot, size_t offset) const
{
    const uint8_t* room = &m_in[static_cast<size_t>(slot) * kRoom];
    if (m_bTarget64) {
        uint64_t value;
        std::memcpy(&value, room + offset, sizeof value);
        return value;
    }
    uint32_t value;
    std::memcpy(&value, room + offset, sizeof value);
    return value;
}

uint32_t CRemoteItemReader::Field32(int slot, size_t offset) const
{
    if (!m_pBlock || slot < 0 || slot >= m_nSlots || offset + 4 > kRoom)
        return 0;
    uint32_t value;
    std::memcpy(&value, &m_in[static_cast<size_t>(slot) * kRoom + offset], sizeof value);
    return value;
}

void CRemoteItemReader::AppendText(std::string& text, int slot) const
{
    if (!m_pBlock || slot < 0 || slot >= m_nSlots)
        return;
    // A control may answer with a pointer to its own copy of the text (as an owner-data list's
    // owner may) instead of filling the block: the text is then read from there. A text
    // callback's mark (-1) and a null pointer mean no text.
    const uint64_t pointer = PointerAt(slot, TextPointerOffset(m_kind, m_bTarget64));
    const uint64_t callback = m_bTarget64 ? ~0ull : 0xFFFFFFFFull;
    if (pointer != TextAddress(slot)) {
        if (pointer != 0 && pointer != callback) {
            const std::wstring own = ReadRemoteWideText(m_memory, pointer, kRemoteTextChars);
            AppendBlockText(text, own.c_str(), own.size() + 1);
        }
        return;
    }
    const auto* block =
        reinterpret_cast<const wchar_t*>(&m_in[TextsOffset() + static_cast<size_t>(slot) * kTextBytes]);
    AppendBlockText(text, block, kRemoteTextChars);
}
