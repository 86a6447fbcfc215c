#include "framework/File.h"

BOOL CFile::Open(LPCSTR path, DWORD access, DWORD shareMode, DWORD disposition, DWORD attributes)
{
    Close();
    m_hFile.Reset(::CreateFileA(path, access, shareMode, nullptr, disposition, attributes, nullptr));
    if (!m_hFile)
        return FALSE;
    m_strPath = path;
    return TRUE;
}

void CFile::Write(const void* data, DWORD count)
{
    DWORD written = 0;
    const BOOL ok = ::WriteFile(m_hFile.Get(), data, count, &written, nullptr);
    ThrowIfWriteFailed(ok, ok ? ERROR_SUCCESS : ::GetLastError(), count, written, m_strPath);
}

void ThrowIfWriteFailed(BOOL ok, DWORD osError, DWORD asked, DWORD written, const std::string& path)
{
    if (!ok)
        throw CFileException(CFileException::OsErrorToCause(osError), osError, path);
    if (written != asked)
        throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, path);
}
