// A file opened for writing. A write either puts all its bytes out or says why not, so that a
// writer can put several writes one after another and still lose no failure.
#pragma once

#include "framework/Handles.h"
#include "framework/Outcome.h"

#include <string>

class CFile
{
public:
    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // CreateFile with these arguments, the path in UTF-8; FALSE (and GetLastError set) when it cannot be opened.
    // An open file is closed first.
    BOOL Open(LPCSTR path, DWORD access, DWORD shareMode, DWORD disposition,
              DWORD attributes = FILE_ATTRIBUTE_NORMAL);
    // Writes all count bytes at the current position: Done, or the file's failure.
    Outcome Write(const void* data, DWORD count);
    void Close() { m_hFile.Reset(); }

    HANDLE GetHandle() const { return m_hFile.Get(); }
    BOOL IsOpen() const { return m_hFile ? TRUE : FALSE; }
    const std::string& GetFilePath() const { return m_strPath; }

private:
    CFileHandle m_hFile;
    std::string m_strPath;
};

// What a write that returned ok (with the error code of a failure) and wrote `written` of
// `asked` bytes means: Done when all went out, otherwise the file's failure. A write that
// reports success but wrote less ran out of room.
Outcome WriteOutcome(BOOL ok, DWORD osError, DWORD asked, DWORD written, const std::string& path);
