// Scratch memory inside the process that owns a window: the common controls answer text
// queries only through structures in their own address space. The object opens that process,
// allocates blocks there, copies bytes in and out, and frees everything when it goes.
#pragma once

#include "framework/Handles.h"

#include <windows.h>

#include <vector>

class CProcessMemory
{
public:
    explicit CProcessMemory(HWND window);
    virtual ~CProcessMemory();
    CProcessMemory(const CProcessMemory&) = delete;
    CProcessMemory& operator=(const CProcessMemory&) = delete;

    // A committed, zero-filled read-write block in the target, or null.
    void* Alloc(int size);
    // FALSE at once, without a system call, for a null address or buffer.
    BOOL Write(void* remote, const void* local, int size);
    BOOL Read(const void* remote, void* local, int size);

    bool IsOpen() const { return static_cast<bool>(m_hProcess); }
    // Why the window's process could not be opened (access denied for one that runs with higher
    // rights or as another user); 0 when it was, or when the window has no process.
    DWORD OpenError() const { return m_dwOpenError; }
    // Whether the target's pointers are 64 bits wide (its structures are laid out so).
    bool IsTarget64Bit() const;
    HANDLE Process() const { return m_hProcess; }

private:
    // Declared first, so that it is closed last: the blocks are freed through it.
    CKernelHandle m_hProcess;
    DWORD m_dwOpenError = 0;
    std::vector<void*> m_remoteBlocks;
};

// Whether a process runs with 64-bit pointers, seen from this process.
bool IsProcess64Bit(HANDLE process);

// Whether the process's executable is marked as able to use memory above 2 GB (true when that
// cannot be found out).
bool IsProcessLargeAddressAware(HANDLE process);
