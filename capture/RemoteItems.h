// The item structures of list views, headers and tree views as a control in another process
// reads them: laid out for that process's pointer width, byte by byte, whatever this
// program's own width is. And the reader that places them there and reads the answers back.
#pragma once

#include "capture/ControlQuery.h"
#include "capture/ProcessMemory.h"

#include <windows.h>

#include <cstdint>
#include <string>
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

// Appends a text block read from another process: up to its first NUL, and never more than
// size - 1 characters even if the block holds no NUL.
void AppendBlockText(std::string& text, const char* block, size_t size);

// Asks one control for item texts through an item structure placed in the control's process.
// The structure and its text block share one block there, the text behind the structure's
// room, so that the one write that places a structure also empties the text: a control that
// answers without writing leaves an empty text, never the previous item's.
class CRemoteItemReader
{
public:
    // Opens the control's process and places the block; the queries go through `query`.
    CRemoteItemReader(HWND control, CControlQuery& query);
    CRemoteItemReader(const CRemoteItemReader&) = delete;
    CRemoteItemReader& operator=(const CRemoteItemReader&) = delete;

    // Whether the block is in place; without it every Ask fails and sends nothing.
    bool IsReady() const { return m_pBlock != nullptr; }
    bool IsTarget64Bit() const { return m_bTarget64; }
    const CProcessMemory& Memory() const { return m_memory; }
    // The address the structure's text pointer must hold.
    uint64_t TextAddress() const;

    // Places the structure (at most kRoom bytes), sends the message with its address and reads
    // the text back. False when that failed or the control did not answer.
    bool Ask(UINT msg, WPARAM wParam, const std::vector<uint8_t>& item, LRESULT* result = nullptr);
    // The text of the last answered query, up to its NUL.
    void AppendText(std::string& text) const { AppendBlockText(text, m_text, kRemoteTextSize); }

    // Room for the largest structure of either width.
    static const int kRoom = 128;

private:
    CProcessMemory m_memory;
    CControlQuery& m_query;
    bool m_bTarget64;
    char* m_pBlock = nullptr;  // in the target: the structure's room, then the text
    uint8_t m_place[kRoom + 1] = {};
    char m_text[kRemoteTextSize] = {};
};
