#include "avi/AviWriter.h"

#include "avi/AviFacts.h"
#include "framework/Handles.h"
#include "framework/Paths.h"
#include "image/BitmapToDib.h"
#include "image/DibImage.h"

#include <cstring>

namespace {
// The headers and the index (16 bytes a frame) are kept clear of the limit with a margin.
const unsigned long long kHeaderRoom = 64 * 1024;

// The cause of a failed file operation of the library: the system's error where it left one,
// else what the library's code stands for.
Outcome FileFailure(HRESULT result, DWORD osError, const std::string& path)
{
    CFileException::Cause cause = CFileException::generic;
    if (osError != ERROR_SUCCESS)
        cause = CFileException::OsErrorToCause(osError);
    else if (result == AVIERR_FILEOPEN)
        cause = CFileException::badPath;
    else if (result == AVIERR_FILEWRITE)
        cause = CFileException::hardIO;
    return Outcome::FileFailure(CFileException(cause, osError, path));
}
}  // namespace

const char kOldVideoForWindows[] = "Recording needs Video for Windows 1.10 or later.";

DWORD QueryVideoForWindowsVersion()
{
    CModuleHandle vfw(::LoadLibraryA("msvfw32.dll"));
    if (!vfw)
        return 0;
    // Ordinal 2 of the library is its version query.
    using VersionFn = DWORD(WINAPI*)();
    auto version = reinterpret_cast<VersionFn>(reinterpret_cast<void (*)()>(::GetProcAddress(vfw, MAKEINTRESOURCEA(2))));
    return version ? version() : 0;
}

bool AcceptsVideoForWindowsVersion(DWORD version)
{
    return HIWORD(version) >= 0x010A;
}

DWORD FrameFormatSize(const BITMAPINFOHEADER& frame)
{
    // As the frame lies in memory: a full colour table for 8 bits or fewer, whatever biClrUsed says.
    return frame.biSize + 4 * DibFullColorCount(frame.biBitCount);
}

AVISTREAMINFOA FrameStreamInfo(const BITMAPINFOHEADER& firstFrame, int rate)
{
    AVISTREAMINFOA info;
    std::memset(&info, 0, sizeof info);
    info.fccType = streamtypeVIDEO;
    // Uncompressed frames name no handler; coded ones, their codec.
    info.fccHandler = firstFrame.biCompression == BI_RGB ? 0 : firstFrame.biCompression;
    info.dwScale = 1;
    info.dwRate = static_cast<DWORD>(rate);
    info.dwSuggestedBufferSize = firstFrame.biSizeImage;
    info.dwQuality = static_cast<DWORD>(-1);
    info.rcFrame = RECT{0, 0, firstFrame.biWidth, firstFrame.biHeight};
    return info;
}

bool IsLostWrite(DWORD lastError)
{
    switch (lastError) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
        return true;
    default:
        return false;
    }
}

bool FrameFitsFile(unsigned long long writtenBytes, unsigned long long frameBytes, int frames,
                   unsigned long long maxFileBytes)
{
    // Each frame also takes a chunk header (8 bytes) and an index entry (16 bytes).
    const unsigned long long after = writtenBytes + frameBytes + 24ull * (static_cast<unsigned long long>(frames) + 1);
    return after + kHeaderRoom <= maxFileBytes;
}

CAviWriter::CAviWriter(const std::string& fileName, int width, int height, int rate, DWORD vfwVersion,
                       unsigned long long maxFileBytes)
    : m_strFileName(fileName), m_nWidth(width), m_nHeight(height), m_nRate(rate), m_nMaxFileBytes(maxFileBytes)
{
    if (!AcceptsVideoForWindowsVersion(vfwVersion)) {
        Disable(Outcome::Refusal(kOldVideoForWindows));
        return;
    }
    ::AVIFileInit();
    m_bInitialized = true;
}

CAviWriter::~CAviWriter()
{
    Close();
    if (m_bInitialized)
        ::AVIFileExit();
}

bool CAviWriter::Close()
{
    // The file is completed (headers, index) and closed by the last release of the two. They
    // answer nothing of how that went, and a write they could not make leaves the system's
    // error (Wine's leave 0 when all went well); whether the file is whole is read from the
    // file itself.
    ::SetLastError(ERROR_SUCCESS);
    if (m_pStream)
        ::AVIStreamRelease(m_pStream);
    m_pStream = nullptr;
    if (!m_pAviFile)
        return m_failure.IsDone();
    m_bEnabled = false;
    ::AVIFileRelease(m_pAviFile);
    m_pAviFile = nullptr;
    const DWORD error = ::GetLastError();
    if (m_failure.IsDone() && !IsWholeAvi(ReadAviFacts(m_strFileName), static_cast<DWORD>(m_nFrames)))
        Disable(FileFailure(AVIERR_ERROR, error, m_strFileName));
    return m_failure.IsDone();
}

void CAviWriter::Disable(const Outcome& why)
{
    m_bEnabled = false;
    if (m_failure.IsDone())
        m_failure = why;
}

bool CAviWriter::IsFull() const
{
    return m_nFrames > 0 && !FrameFitsFile(m_nBytes, m_nFrameBytes, m_nFrames, m_nMaxFileBytes);
}

bool CAviWriter::Open(const BITMAPINFOHEADER& first)
{
    ::SetLastError(ERROR_SUCCESS);
    // Created, or emptied where it exists. The library may take the name into the ANSI code
    // page inside (Wine's does): a name in another script goes by a form it keeps.
    HRESULT result = ::AVIFileOpenW(&m_pAviFile, NameForAnsiServices(m_strFileName).c_str(), OF_WRITE | OF_CREATE,
                                    nullptr);
    if (result != AVIERR_OK) {
        m_pAviFile = nullptr;
        Disable(FileFailure(result, ::GetLastError(), m_strFileName));
        return false;
    }
    m_streamInfo = FrameStreamInfo(first, m_nRate);
    ::lstrcpynA(m_streamInfo.szName, m_strStreamName.c_str(), sizeof m_streamInfo.szName);
    result = ::AVIFileCreateStreamA(m_pAviFile, &m_pStream, &m_streamInfo);
    if (result != AVIERR_OK) {
        m_pStream = nullptr;
        Disable(FileFailure(result, ::GetLastError(), m_strFileName));
        return false;
    }
    result = ::AVIStreamSetFormat(m_pStream, 0, const_cast<BITMAPINFOHEADER*>(&first),
                                  static_cast<LONG>(FrameFormatSize(first)));
    if (result != AVIERR_OK) {
        Disable(FileFailure(result, ::GetLastError(), m_strFileName));
        return false;
    }
    return true;
}

bool CAviWriter::WriteFrame(HBITMAP bitmap)
{
    if (!m_bEnabled)
        return false;
    const CFrameDib frame = BitmapToFrameDib(bitmap, BI_RGB, nullptr);
    if (!frame)
        return false;
    return WriteFrame(*frame.Get(), reinterpret_cast<const BYTE*>(frame.Get()) + FrameFormatSize(*frame.Get()));
}

bool CAviWriter::WriteFrame(const BITMAPINFOHEADER& header, const BYTE* bits)
{
    return Write(header, bits, header.biSizeImage, AVIIF_KEYFRAME);
}

bool CAviWriter::WriteCodedFrame(const BITMAPINFOHEADER& format, const void* data, DWORD size, bool key)
{
    return Write(format, data, size, key ? AVIIF_KEYFRAME : 0);
}

bool CAviWriter::Write(const BITMAPINFOHEADER& header, const void* data, DWORD size, DWORD flags)
{
    if (!m_bEnabled)
        return false;
    // A frame of another size than the recording's is left out.
    if ((m_nWidth >= 0 && m_nWidth != header.biWidth) || (m_nHeight >= 0 && m_nHeight != header.biHeight))
        return false;
    m_nWidth = header.biWidth;
    m_nHeight = header.biHeight;
    if (m_nFrames == 0 && !Open(header))
        return false;
    ::SetLastError(ERROR_SUCCESS);
    const HRESULT result = ::AVIStreamWrite(m_pStream, m_nFrames, 1, const_cast<void*>(data), static_cast<LONG>(size),
                                            flags, nullptr, nullptr);
    const DWORD error = ::GetLastError();
    if (result != AVIERR_OK || IsLostWrite(error)) {
        Disable(FileFailure(result == AVIERR_OK ? AVIERR_FILEWRITE : result, error, m_strFileName));
        return false;
    }
    ++m_nFrames;
    m_nFrameBytes = header.biSizeImage;
    m_nBytes += size;
    return true;
}
