// An AVI file of one video stream, written frame by frame through the system's AVIFile library:
// uncompressed frames, every one a key frame, or frames an encoder coded, all of the size of the
// first, at a fixed rate. The file is made with the first frame and complete once the writer is
// destroyed.
#pragma once

#include "framework/Outcome.h"

#include <windows.h>
#include <vfw.h>

#include <string>

// The Video for Windows version (high word: major byte, minor byte), 0 where it cannot be asked.
DWORD QueryVideoForWindowsVersion();
// Whether that version has what the writer needs (1.10 or later).
bool AcceptsVideoForWindowsVersion(DWORD version);
// Why a recording cannot be made with an older one.
extern const char kOldVideoForWindows[];

// The stream information of a recording whose first frame has this header.
AVISTREAMINFOA FrameStreamInfo(const BITMAPINFOHEADER& firstFrame, int rate);
// The bytes of a frame's header and colour table, which the stream's format holds (a full
// table at 8 bits per pixel or fewer, as the frame is laid out).
DWORD FrameFormatSize(const BITMAPINFOHEADER& frame);
// Whether the system's last error after a write that the library reported done says the bytes
// did not reach the file: the library's buffered writes do not pass that failure on.
bool IsLostWrite(DWORD lastError);
// What AVI readers accept of a file written as one RIFF list: 2 GB.
const unsigned long long kMaxAviFileBytes = 0x80000000ull;
// Whether one more frame of `frameBytes` keeps a file of `writtenBytes` frame data below that
// limit, with room for the headers and the index the library adds.
bool FrameFitsFile(unsigned long long writtenBytes, unsigned long long frameBytes, int frames,
                   unsigned long long maxFileBytes = kMaxAviFileBytes);

class CAviWriter
{
public:
    // Width and height negative: taken from the first frame. The version is the system's; the
    // limit the file must stay below, that of AVI readers (tests give smaller ones).
    CAviWriter(const std::string& fileName, int width, int height, int rate,
               DWORD vfwVersion = QueryVideoForWindowsVersion(), unsigned long long maxFileBytes = kMaxAviFileBytes);
    ~CAviWriter();
    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    bool IsEnabled() const { return m_bEnabled; }
    // The name the stream carries in the file (before the first frame; none by default).
    void NameStream(const std::string& name) { m_strStreamName = name; }
    const std::string& FileName() const { return m_strFileName; }
    // Converts and writes the bitmap (which the caller keeps). False for a frame skipped (its
    // size differs from the first, or it could not be converted: the writer stays enabled) and
    // for a frame the library refused (the writer is disabled for good; Failure() says why).
    bool WriteFrame(HBITMAP bitmap);
    // The same for a frame already in DIB form: a bottom-up header (its colour table, if any,
    // after it) and the rows, which the caller keeps.
    bool WriteFrame(const BITMAPINFOHEADER& header, const BYTE* bits);
    // A frame an encoder coded: `format` is the stream's (its compression names the codec, its
    // biSizeImage the most bytes a frame can take), `size` bytes of it at `data`, a key frame
    // (one a player can start from) or not.
    bool WriteCodedFrame(const BITMAPINFOHEADER& format, const void* data, DWORD size, bool key);
    // Completes and closes the file (the destructor does it too); false when that failed, and
    // then Failure() says why. The file is read back for that: the library's release says
    // nothing of its failures. A closed writer takes no more frames.
    bool Close();
    // Whether the next frame of the recorded size would take the file past its limit.
    bool IsFull() const;
    // What disabled the writer (the file's failure, or a refusal); Done while it works.
    const Outcome& Failure() const { return m_failure; }
    int Frames() const { return m_nFrames; }

private:
    bool Open(const BITMAPINFOHEADER& first);
    bool Write(const BITMAPINFOHEADER& header, const void* data, DWORD size, DWORD flags);
    void Disable(const Outcome& why);

    std::string m_strFileName;
    std::string m_strStreamName;
    int m_nWidth;
    int m_nHeight;
    int m_nRate;
    unsigned long long m_nMaxFileBytes;
    AVISTREAMINFOA m_streamInfo = {};
    PAVIFILE m_pAviFile = nullptr;
    PAVISTREAM m_pStream = nullptr;
    int m_nFrames = 0;
    unsigned long long m_nBytes = 0;  // frame data written so far
    DWORD m_nFrameBytes = 0;          // the most one frame can take
    bool m_bEnabled = true;
    bool m_bInitialized = false;
    Outcome m_failure;
};
