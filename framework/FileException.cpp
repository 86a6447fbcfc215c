#include "framework/FileException.h"

#include "framework/MessageFormat.h"

#include <cerrno>

std::string CFileException::GetErrorMessage() const
{
    return FormatMessage1(CauseText(m_cause), m_strFileName);
}

CFileException::Cause CFileException::OsErrorToCause(DWORD osError)
{
    switch (osError) {
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
    case ERROR_INVALID_ACCESS:
        return invalidFile;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
        return badSeek;
    case ERROR_NOT_READY:
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
    case ERROR_SHARING_BUFFER_EXCEEDED:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_LOCK_FAILED:
    case ERROR_NOT_LOCKED:
        return lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return generic;
    }
}

CFileException::Cause CFileException::ErrnoToCause(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return fileNotFound;
    case EMFILE:
        return tooManyOpenFiles;
    case EACCES:
        return accessDenied;
    case EBADF:
        return invalidFile;
    case ENOSPC:
        return diskFull;
    default:
        return generic;
    }
}

const char* CFileException::CauseText(Cause cause)
{
    switch (cause) {
    case fileNotFound:
        return "%1 was not found.";
    case badPath:
        return "%1 contains an invalid path.";
    case tooManyOpenFiles:
        return "%1 could not be opened because there are too many open files.";
    case accessDenied:
        return "Access to %1 was denied.";
    case invalidFile:
        return "An invalid file handle was associated with %1.";
    case directoryFull:
        return "%1 could not be created because the directory is full.";
    case badSeek:
        return "Seek failed on %1";
    case hardIO:
        return "A hardware I/O error was reported while accessing %1.";
    case sharingViolation:
        return "A sharing violation occurred while accessing %1.";
    case lockViolation:
        return "A locking violation occurred while accessing %1.";
    case diskFull:
        return "Disk full while accessing %1.";
    case endOfFile:
        return "An attempt was made to access %1 past its end.";
    case generic:
    default:
        return "An unknown error occurred while accessing %1.";
    }
}
