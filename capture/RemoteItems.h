// The item structures of list views, headers and tree views as a control in another process
// reads them: laid out for that process's pointer width, byte by byte, whatever this
// program's own width is.
#pragma once

#include <cstdint>
#include <vector>

// The size of one item's text block in the target, terminator included.
const int kRemoteTextSize = 1024;

// LVITEM: mask 0, the row goes in the message's wParam, iSubItem = the column.
std::vector<uint8_t> ListViewItemBytes(bool target64, int subItem, uint64_t remoteText);
// HDITEM with HDI_TEXT.
std::vector<uint8_t> HeaderItemBytes(bool target64, uint64_t remoteText);
// TVITEM with TVIF_TEXT for the item handle.
std::vector<uint8_t> TreeViewItemBytes(bool target64, uint64_t item, uint64_t remoteText);

// Whether tree item handles of the target can pass through this process's messages intact.
// A 32-bit reader gets a 64-bit target's handles cut to 32 bits and must never send one
// back cut: it reads such a tree only when the target cannot hold memory above 2 GB (an
// executable not marked large-address aware).
bool TreeHandlesFit(bool reader64, bool target64, bool targetLargeAddressAware);
