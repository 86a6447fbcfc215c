#include "framework/File.h"

#include "framework/Unicode.h"

BOOL CFile::Open(LPCSTR path, DWORD access, DWORD shareMode, DWORD disposition, DWORD attributes)
{
    Close();
    m_hFile.Reset(::CreateFileW(Widen(path).c_str(), access, shareMode, nullptr, disposition, attributes, nullptr));
    if (!m_hFile)
        return FALSE;
    m_strPath = path;
    return TRUE;
}

Outcome CFile::Write(const void* data, DWORD count)
{
    DWORD written = 0;
    const BOOL ok = ::WriteFile(m_hFile.Get(), data, count, &written, nullptr);
    return WriteOutcome(ok, ok ? ERROR_SUCCESS : ::GetLastError(), count, written, m_strPath);
}

Outcome WriteOutcome(BOOL ok, DWORD osError, DWORD asked, DWORD written, const std::string& path)
{
    if (!ok)
        return Outcome::FileFailure(CFileException(CFileException::OsErrorToCause(osError), osError, path));
    if (written != asked)
        return Outcome::FileFailure(CFileException(CFileException::diskFull, ERROR_DISK_FULL, path));
    return Outcome();
}
