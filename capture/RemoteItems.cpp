#include "capture/RemoteItems.h"

#include <commctrl.h>

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
    size_t size, mask, item, text, textMax;
};
constexpr ListViewLayout kListView32 = {60, 8, 20, 24};
constexpr ListViewLayout kListView64 = {88, 8, 24, 32};  // the pointer aligned to 8
constexpr HeaderLayout kHeader32 = {48, 0, 8, 16};
constexpr HeaderLayout kHeader64 = {72, 0, 8, 24};
constexpr TreeViewLayout kTreeView32 = {40, 0, 4, 16, 20};
constexpr TreeViewLayout kTreeView64 = {56, 0, 8, 24, 32};

#ifdef _WIN64
constexpr ListViewLayout kOwnListView = kListView64;
constexpr HeaderLayout kOwnHeader = kHeader64;
constexpr TreeViewLayout kOwnTreeView = kTreeView64;
#else
constexpr ListViewLayout kOwnListView = kListView32;
constexpr HeaderLayout kOwnHeader = kHeader32;
constexpr TreeViewLayout kOwnTreeView = kTreeView32;
#endif
static_assert(sizeof(LVITEMA) == kOwnListView.size, "LVITEMA size");
static_assert(offsetof(LVITEMA, iSubItem) == kOwnListView.subItem, "LVITEMA.iSubItem");
static_assert(offsetof(LVITEMA, pszText) == kOwnListView.text, "LVITEMA.pszText");
static_assert(offsetof(LVITEMA, cchTextMax) == kOwnListView.textMax, "LVITEMA.cchTextMax");
static_assert(sizeof(HDITEMA) == kOwnHeader.size, "HDITEMA size");
static_assert(offsetof(HDITEMA, mask) == kOwnHeader.mask, "HDITEMA.mask");
static_assert(offsetof(HDITEMA, pszText) == kOwnHeader.text, "HDITEMA.pszText");
static_assert(offsetof(HDITEMA, cchTextMax) == kOwnHeader.textMax, "HDITEMA.cchTextMax");
static_assert(sizeof(TVITEMA) == kOwnTreeView.size, "TVITEMA size");
static_assert(offsetof(TVITEMA, mask) == kOwnTreeView.mask, "TVITEMA.mask");
static_assert(offsetof(TVITEMA, hItem) == kOwnTreeView.item, "TVITEMA.hItem");
static_assert(offsetof(TVITEMA, pszText) == kOwnTreeView.text, "TVITEMA.pszText");
static_assert(offsetof(TVITEMA, cchTextMax) == kOwnTreeView.textMax, "TVITEMA.cchTextMax");
static_assert(kListView64.size <= CRemoteItemReader::kRoom && kHeader64.size <= CRemoteItemReader::kRoom &&
                  kTreeView64.size <= CRemoteItemReader::kRoom,
              "every structure fits the reader's room");

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
}  // namespace

std::vector<uint8_t> ListViewItemBytes(bool target64, int subItem, uint64_t remoteText)
{
    const ListViewLayout& layout = target64 ? kListView64 : kListView32;
    std::vector<uint8_t> bytes(layout.size, 0);
    Put32(bytes, layout.subItem, static_cast<uint32_t>(subItem));
    PutPointer(bytes, target64, layout.text, remoteText);
    Put32(bytes, layout.textMax, kRemoteTextSize);
    return bytes;
}

std::vector<uint8_t> HeaderItemBytes(bool target64, uint64_t remoteText)
{
    const HeaderLayout& layout = target64 ? kHeader64 : kHeader32;
    std::vector<uint8_t> bytes(layout.size, 0);
    Put32(bytes, layout.mask, HDI_TEXT);
    PutPointer(bytes, target64, layout.text, remoteText);
    Put32(bytes, layout.textMax, kRemoteTextSize);
    return bytes;
}

std::vector<uint8_t> TreeViewItemBytes(bool target64, uint64_t item, uint64_t remoteText)
{
    const TreeViewLayout& layout = target64 ? kTreeView64 : kTreeView32;
    std::vector<uint8_t> bytes(layout.size, 0);
    Put32(bytes, layout.mask, TVIF_TEXT);
    PutPointer(bytes, target64, layout.item, item);
    PutPointer(bytes, target64, layout.text, remoteText);
    Put32(bytes, layout.textMax, kRemoteTextSize);
    return bytes;
}

bool TreeHandlesFit(bool reader64, bool target64, bool targetLargeAddressAware)
{
    return reader64 || !target64 || !targetLargeAddressAware;
}

void AppendBlockText(std::string& text, const char* block, size_t size)
{
    if (size == 0)
        return;
    const void* nul = std::memchr(block, '\0', size - 1);
    text.append(block, nul ? static_cast<size_t>(static_cast<const char*>(nul) - block) : size - 1);
}

CRemoteItemReader::CRemoteItemReader(HWND control, CControlQuery& query)
    : m_memory(control), m_query(query), m_bTarget64(m_memory.IsTarget64Bit())
{
    m_pBlock = static_cast<char*>(m_memory.Alloc(kRoom + kRemoteTextSize));
}

uint64_t CRemoteItemReader::TextAddress() const
{
    return m_pBlock ? AddressOf(m_pBlock + kRoom) : 0;
}

bool CRemoteItemReader::Ask(UINT msg, WPARAM wParam, const std::vector<uint8_t>& item, LRESULT* result)
{
    if (!m_pBlock || item.size() > static_cast<size_t>(kRoom))
        return false;
    // The structure, zeros up to the text, and the text's first byte: the text starts empty.
    std::memset(m_place, 0, sizeof m_place);
    std::memcpy(m_place, item.data(), item.size());
    return m_memory.Write(m_pBlock, m_place, sizeof m_place) &&
           m_query.Send(msg, wParam, reinterpret_cast<LPARAM>(m_pBlock), result) &&
           m_memory.Read(m_pBlock + kRoom, m_text, kRemoteTextSize);
}
