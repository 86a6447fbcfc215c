#include "capture/RemoteItems.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

namespace {
void Put32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    std::memcpy(&bytes[offset], &value, sizeof value);
}

void Put64(std::vector<uint8_t>& bytes, size_t offset, uint64_t value)
{
    std::memcpy(&bytes[offset], &value, sizeof value);
}

// A pointer-sized field of the target.
void PutPointer(std::vector<uint8_t>& bytes, bool target64, size_t offset, uint64_t value)
{
    if (target64)
        Put64(bytes, offset, value);
    else
        Put32(bytes, offset, static_cast<uint32_t>(value));
}
}  // namespace

std::vector<uint8_t> ListViewItemBytes(bool target64, int subItem, uint64_t remoteText)
{
    // 32-bit: mask, iItem, iSubItem, state, stateMask, pszText@20, cchTextMax@24, iImage, lParam, iIndent.
    // 64-bit: the pointer is aligned to 8: pszText@24, cchTextMax@32, up to the newest fields: 88 bytes.
    std::vector<uint8_t> bytes(target64 ? 88 : 40, 0);
    Put32(bytes, 8, static_cast<uint32_t>(subItem));
    PutPointer(bytes, target64, target64 ? 24 : 20, remoteText);
    Put32(bytes, target64 ? 32 : 24, kRemoteTextSize);
    return bytes;
}

std::vector<uint8_t> HeaderItemBytes(bool target64, uint64_t remoteText)
{
    // 32-bit: mask, cxy, pszText@8, hbm, cchTextMax@16, fmt, lParam, iImage, iOrder: 36 bytes.
    // 64-bit: pszText@8, hbm@16, cchTextMax@24, fmt, lParam@32, iImage, iOrder: 48 bytes.
    std::vector<uint8_t> bytes(target64 ? 48 : 36, 0);
    Put32(bytes, 0, HDI_TEXT);
    PutPointer(bytes, target64, 8, remoteText);
    Put32(bytes, target64 ? 24 : 16, kRemoteTextSize);
    return bytes;
}

std::vector<uint8_t> TreeViewItemBytes(bool target64, uint64_t item, uint64_t remoteText)
{
    // 32-bit: mask, hItem@4, state, stateMask, pszText@16, cchTextMax@20, ...: 40 bytes.
    // 64-bit: hItem@8, state@16, stateMask@20, pszText@24, cchTextMax@32, ..., lParam@48: 56 bytes.
    std::vector<uint8_t> bytes(target64 ? 56 : 40, 0);
    Put32(bytes, 0, TVIF_TEXT);
    PutPointer(bytes, target64, target64 ? 8 : 4, item);
    PutPointer(bytes, target64, target64 ? 24 : 16, remoteText);
    Put32(bytes, target64 ? 32 : 20, kRemoteTextSize);
    return bytes;
}

bool TreeHandlesFit(bool reader64, bool target64, bool targetLargeAddressAware)
{
    return reader64 || !target64 || !targetLargeAddressAware;
}
