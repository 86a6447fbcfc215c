// What went wrong with a file: the cause, the system's error code and the file's path, and the
// text the user is shown for them. A value that failures carry up to whoever tells the user; it
// is never thrown.
#pragma once

#include <windows.h>

#include <string>

class CFileException
{
public:
    enum Cause {
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException() = default;
    CFileException(Cause cause, DWORD osError, std::string path)
        : m_cause(cause), m_dwOsError(osError), m_strFileName(std::move(path)) {}

    // The cause's text with the file's path in place of %1.
    std::string GetErrorMessage() const;

    // The cause that a system error code stands for; generic for a code without one.
    static Cause OsErrorToCause(DWORD osError);
    // The cause that a C runtime errno value stands for (a stream's failure); generic for others.
    static Cause ErrnoToCause(int errnoValue);
    // The text of a cause, with %1 where the path goes.
    static const char* CauseText(Cause cause);

    Cause m_cause = generic;
    DWORD m_dwOsError = 0;
    std::string m_strFileName;
};
