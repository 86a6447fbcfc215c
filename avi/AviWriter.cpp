#include "avi/AviWriter.h"

#include "image/BitmapToDib.h"
#include "image/DibImage.h"

#include <cstring>

namespace {
// The headers and the index (16 bytes a frame) are kept clear of the limit with a margin.
const unsigned long long kHeaderRoom = 64 * 1024;

const DWORD kHasIndex = 0x10;  // the main header's flag: an index follows the frames
const DWORD kKeyFrame = 0x10;  // an index entry's flag

Outcome FileFailure(DWORD osError, const std::string& path)
{
    const CFileException::Cause cause =
        osError != ERROR_SUCCESS ? CFileException::OsErrorToCause(osError) : CFileException::hardIO;
    return Outcome::FileFailure(CFileException(cause, osError, path));
}

// Little-endian fields appended to a byte string.
void Put(std::vector<BYTE>& out, const void* bytes, size_t size)
{
    const BYTE* p = static_cast<const BYTE*>(bytes);
    out.insert(out.end(), p, p + size);
}
void PutDword(std::vector<BYTE>& out, DWORD value)
{
    Put(out, &value, sizeof value);
}
void PutCode(std::vector<BYTE>& out, const char (&code)[5])
{
    Put(out, code, 4);
}
}  // namespace

DWORD FrameFormatSize(const BITMAPINFOHEADER& frame)
{
    // As the frame lies in memory: a full colour table for 8 bits or fewer, whatever biClrUsed says.
    return frame.biSize + 4 * DibFullColorCount(frame.biBitCount);
}

bool FrameFitsFile(unsigned long long writtenBytes, unsigned long long frameBytes, int frames,
                   unsigned long long maxFileBytes)
{
    // Each frame also takes a chunk header (8 bytes) and an index entry (16 bytes).
    const unsigned long long after = writtenBytes + frameBytes + 24ull * (static_cast<unsigned long long>(frames) + 1);
    return after + kHeaderRoom <= maxFileBytes;
}

std::vector<BYTE> AviHeaders(const BITMAPINFOHEADER& first, int rate, int frames, DWORD frameBytes)
{
    const DWORD formatBytes = FrameFormatSize(first);
    const DWORD strl = 4 + (8 + 56) + (8 + formatBytes);
    const DWORD hdrl = 4 + (8 + 56) + (8 + strl);
    const DWORD movi = 4 + static_cast<DWORD>(frames) * (8 + frameBytes);
    const DWORD index = 16 * static_cast<DWORD>(frames);
    const DWORD count = static_cast<DWORD>(frames);
    std::vector<BYTE> out;
    PutCode(out, "RIFF");
    PutDword(out, 4 + (8 + hdrl) + (8 + movi) + (8 + index));
    PutCode(out, "AVI ");
    PutCode(out, "LIST");
    PutDword(out, hdrl);
    PutCode(out, "hdrl");
    PutCode(out, "avih");
    PutDword(out, 56);
    PutDword(out, rate > 0 ? 1000000u / static_cast<DWORD>(rate) : 0);  // microseconds a frame
    PutDword(out, frameBytes * static_cast<DWORD>(rate));              // bytes a second at most
    PutDword(out, 0);                                                  // no padding
    PutDword(out, kHasIndex);
    PutDword(out, count);
    PutDword(out, 0);  // no initial frames
    PutDword(out, 1);  // one stream
    PutDword(out, frameBytes);
    PutDword(out, static_cast<DWORD>(first.biWidth));
    PutDword(out, static_cast<DWORD>(first.biHeight));
    for (int i = 0; i < 4; ++i)
        PutDword(out, 0);
    PutCode(out, "LIST");
    PutDword(out, strl);
    PutCode(out, "strl");
    PutCode(out, "strh");
    PutDword(out, 56);
    PutCode(out, "vids");
    PutDword(out, 0);  // no compressor: the frames are stored as they come
    PutDword(out, 0);  // no flags
    PutDword(out, 0);  // priority and language
    PutDword(out, 0);  // no initial frames
    PutDword(out, 1);  // the rate is frames / 1 second
    PutDword(out, static_cast<DWORD>(rate));
    PutDword(out, 0);  // starts at once
    PutDword(out, count);
    PutDword(out, frameBytes);                // the suggested buffer: one frame
    PutDword(out, static_cast<DWORD>(-1));    // the default quality
    PutDword(out, 0);                         // a frame a chunk, of any size
    const short frame[4] = {0, 0, static_cast<short>(first.biWidth), static_cast<short>(first.biHeight)};
    Put(out, frame, sizeof frame);
    PutCode(out, "strf");
    PutDword(out, formatBytes);
    Put(out, &first, formatBytes);
    PutCode(out, "LIST");
    PutDword(out, movi);
    PutCode(out, "movi");
    return out;
}

CAviWriter::CAviWriter(const std::string& fileName, int width, int height, int rate, unsigned long long maxFileBytes)
    : m_strFileName(fileName), m_nWidth(width), m_nHeight(height), m_nRate(rate), m_nMaxFileBytes(maxFileBytes)
{
}

CAviWriter::~CAviWriter()
{
    Close();
}

bool CAviWriter::Write(const void* bytes, DWORD size)
{
    DWORD written = 0;
    if (!::WriteFile(m_file, bytes, size, &written, nullptr))
        Disable(FileFailure(::GetLastError(), m_strFileName));
    else if (written != size)
        Disable(FileFailure(ERROR_DISK_FULL, m_strFileName));  // a device that took only part
    return m_bEnabled;
}

bool CAviWriter::Close()
{
    if (!m_file)
        return m_failure.IsDone();
    // The index after the frames, the file cut there (it may have been longer before), then the
    // headers again with the counts.
    if (m_failure.IsDone()) {
        std::vector<BYTE> index;
        PutCode(index, "idx1");
        PutDword(index, static_cast<DWORD>(m_index.size()));
        index.insert(index.end(), m_index.begin(), m_index.end());
        if (Write(index.data(), static_cast<DWORD>(index.size())) && !::SetEndOfFile(m_file))
            Disable(FileFailure(::GetLastError(), m_strFileName));
        const auto* format = reinterpret_cast<const BITMAPINFOHEADER*>(m_format.data());
        const std::vector<BYTE> headers = AviHeaders(*format, m_nRate, m_nFrames, m_nFrameBytes);
        if (m_failure.IsDone() && ::SetFilePointer(m_file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER)
            Write(headers.data(), static_cast<DWORD>(headers.size()));
    }
    m_file.Reset();
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
    // Made, or written over in place where it exists (emptying it first would make the system
    // write all of it out when it is closed); cut to its new length when it is complete.
    m_file.Reset(::CreateFileA(m_strFileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file) {
        Disable(FileFailure(::GetLastError(), m_strFileName));
        return false;
    }
    const BYTE* format = reinterpret_cast<const BYTE*>(&first);
    m_format.assign(format, format + FrameFormatSize(first));
    m_nFrameBytes = first.biSizeImage;
    const std::vector<BYTE> headers = AviHeaders(first, m_nRate, 0, m_nFrameBytes);
    m_nHeaderBytes = static_cast<DWORD>(headers.size());
    return Write(headers.data(), m_nHeaderBytes);
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
    if (!m_bEnabled)
        return false;
    // A frame of another size than the recording's is left out.
    if ((m_nWidth >= 0 && m_nWidth != header.biWidth) || (m_nHeight >= 0 && m_nHeight != header.biHeight))
        return false;
    m_nWidth = header.biWidth;
    m_nHeight = header.biHeight;
    if (m_nFrames == 0 && !Open(header))
        return false;
    // The chunk's header, then the rows straight from the caller's memory.
    const DWORD size = m_nFrameBytes;
    std::vector<BYTE> chunk;
    PutCode(chunk, "00db");
    PutDword(chunk, size);
    if (!Write(chunk.data(), static_cast<DWORD>(chunk.size())) || !Write(bits, size))
        return false;
    // Offsets in the index count from the frame list's code ("movi").
    PutCode(m_index, "00db");
    PutDword(m_index, kKeyFrame);
    PutDword(m_index, static_cast<DWORD>(4 + static_cast<unsigned long long>(m_nFrames) * (8 + size)));
    PutDword(m_index, size);
    ++m_nFrames;
    m_nBytes += size;
    return true;
}
