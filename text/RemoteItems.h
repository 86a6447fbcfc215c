// The item structures of list views, headers and tree views as a control in another process
// reads them: laid out for that process's pointer width, byte by byte, whatever this
// program's own width is. And the reader that places many of them there at once and reads the
// answers back.
#pragma once

#include "text/ControlQuery.h"
#include "text/ProcessMemory.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The size of one item's text block in the target, in (wide) characters, terminator included.
const int kRemoteTextChars = 1024;

// The wide forms of the structures have the layouts of the ANSI ones; only their text is wide.
// LVITEMW: mask 0, the row goes in the message's wParam, iSubItem = the column.
std::vector<uint8_t> ListViewItemBytes(bool target64, int subItem, uint64_t remoteText);
// HDITEMW with HDI_TEXT.
std::vector<uint8_t> HeaderItemBytes(bool target64, uint64_t remoteText);
// TVITEMW with TVIF_TEXT and TVIF_STATE for the item handle: its text and whether it is expanded.
std::vector<uint8_t> TreeViewItemBytes(bool target64, uint64_t item, uint64_t remoteText);

enum class RemoteItemKind { ListView, Header, TreeView };
// Where the structure's text pointer lies, and a tree item's state.
size_t TextPointerOffset(RemoteItemKind kind, bool target64);
size_t TreeStateOffset(bool target64);

// Whether tree item handles of the target can pass through this process's messages intact.
// A 32-bit reader gets a 64-bit target's handles cut to 32 bits and must never send one
// back cut: it reads such a tree only when the target cannot hold memory above 2 GB (an
// executable not marked large-address aware).
bool TreeHandlesFit(bool reader64, bool target64, bool targetLargeAddressAware);

// Appends a wide text block read from another process as UTF-8: up to its first NUL, and never
// more than size - 1 characters even if the block holds no NUL. A text cut there never ends in
// the first half of a surrogate pair: that character is left out whole.
void AppendBlockText(std::string& text, const wchar_t* block, size_t size);

// Asks one control for the texts of many items through item structures placed in the control's
// process, a batch at a time: one write places the structures of a batch, each item costs only
// its message, and one read brings all the answers back. The structures lie together, the texts
// after them, each emptied by the same write, so that a control that answers without writing
// leaves an empty text, never the previous item's; a control that writes past the room it was
// given spoils only texts (the next one, which its own answer then writes again, or the spare
// text after the last one), never a structure that is still to be asked.
// A block that cannot be placed, written or read ends the reading (the query keeps why).
class CRemoteItemReader
{
public:
    // Opens the control's process and places room for `slots` items there; the queries go
    // through `query`.
    CRemoteItemReader(HWND control, CControlQuery& query, RemoteItemKind kind, int slots);
    CRemoteItemReader(const CRemoteItemReader&) = delete;
    CRemoteItemReader& operator=(const CRemoteItemReader&) = delete;

    // Whether the block is in place; without it nothing is sent.
    bool IsReady() const { return m_pBlock != nullptr; }
    bool IsTarget64Bit() const { return m_bTarget64; }
    const CProcessMemory& Memory() const { return m_memory; }
    int Slots() const { return m_nSlots; }
    // The address the structure of a slot must give as its text pointer.
    uint64_t TextAddress(int slot) const;

    // Sets the structure of a slot (at most kRoom bytes) for the next Place.
    void Set(int slot, const std::vector<uint8_t>& item);
    // Writes the structures of the first `count` slots, their texts emptied, in one write.
    bool Place(int count);
    // Sends the message with the address of a slot's structure. False when the control did not
    // answer (it has gone, or hangs) or the reading is to stop: every later query fails at once.
    bool Ask(UINT msg, WPARAM wParam, int slot, LRESULT* result = nullptr);
    // Reads the structures and texts of the first `count` slots back in one read.
    bool Fetch(int count);
    // The text of a fetched slot as UTF-8: in its block, or where the control pointed the
    // structure's text pointer instead (its own copy of the text), bounded like the block.
    void AppendText(std::string& text, int slot) const;
    // A 32-bit field of a fetched slot's structure.
    uint32_t Field32(int slot, size_t offset) const;

    // Room for the largest structure of either width, and for one text.
    static const int kRoom = 128;
    static const int kTextBytes = kRemoteTextChars * static_cast<int>(sizeof(wchar_t));
    // The bytes placed in the target for `slots` items: their structures, their texts, and one
    // spare text that a control writing past the last one writes into.
    static size_t BlockBytes(int slots);

private:
    uint64_t PointerAt(int slot, size_t offset) const;
    // Where the slots' texts begin, in the block and in the local copies of it.
    size_t TextsOffset() const { return static_cast<size_t>(m_nSlots) * kRoom; }
    // The part of the block that a batch of `count` slots takes: all structures, `count` texts.
    size_t BatchBytes(int count) const { return TextsOffset() + static_cast<size_t>(count) * kTextBytes; }

    CProcessMemory m_memory;
    CControlQuery& m_query;
    RemoteItemKind m_kind;
    bool m_bTarget64;
    int m_nSlots;
    char* m_pBlock = nullptr;    // in the target: the slots' structures, then their texts
    std::vector<uint8_t> m_out;  // what is placed: structures, and texts that stay empty
    std::vector<uint8_t> m_in;   // what was fetched
};

// Reads a NUL-terminated wide text at an address of another process, of at most `chars`
// characters with the terminator; the part before an unreadable page, if any.
std::wstring ReadRemoteWideText(const CProcessMemory& memory, uint64_t address, size_t chars);
