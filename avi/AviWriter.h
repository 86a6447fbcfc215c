// An uncompressed AVI file of one video stream, written frame by frame: every frame a key frame,
// all of the size of the first, at a fixed rate. The file is made with the first frame and
// complete once the writer is destroyed.
// The file is written here rather than through the system's AVIFile library: that library
// copies every frame through a buffer of 8 KB, a thousand writes a frame of a full screen, and
// empties an existing file before it writes, which makes the system push all of it to the disk
// when the file is closed, a second and more for a full file. Here each frame goes straight from
// the caller's rows to the file in one write, and an existing file is written over in place.
#pragma once

#include "framework/Outcome.h"
#include "framework/Handles.h"

#include <windows.h>

#include <string>
#include <vector>

// The bytes of a frame's header and colour table, which the stream's format holds (a full
// table at 8 bits per pixel or fewer, as the frame is laid out).
DWORD FrameFormatSize(const BITMAPINFOHEADER& frame);
// What AVI readers accept of a file written as one RIFF list: 2 GB.
const unsigned long long kMaxAviFileBytes = 0x80000000ull;
// Whether one more frame of `frameBytes` keeps a file of `writtenBytes` frame data below that
// limit, with room for the headers and the index.
bool FrameFitsFile(unsigned long long writtenBytes, unsigned long long frameBytes, int frames,
                   unsigned long long maxFileBytes = kMaxAviFileBytes);
// The file's headers up to and with the start of its frame list, for `frames` frames (the format
// of the first, with its colour table after it in memory) of `frameBytes` each: the same size
// whatever the counts, so that they are written first and again, complete, at the end.
std::vector<BYTE> AviHeaders(const BITMAPINFOHEADER& first, int rate, int frames, DWORD frameBytes);

class CAviWriter
{
public:
    // Width and height negative: taken from the first frame. The limit the file must stay below
    // is that of AVI readers (tests give smaller ones).
    CAviWriter(const std::string& fileName, int width, int height, int rate,
               unsigned long long maxFileBytes = kMaxAviFileBytes);
    ~CAviWriter();
    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    bool IsEnabled() const { return m_bEnabled; }
    // Converts and writes the bitmap (which the caller keeps). False for a frame skipped (its
    // size differs from the first, or it could not be converted: the writer stays enabled) and
    // for a frame that could not be written (the writer is disabled for good; Failure() says why).
    bool WriteFrame(HBITMAP bitmap);
    // The same for a frame already in DIB form: a bottom-up header (its colour table, if any,
    // after it) and the rows, which the caller keeps.
    bool WriteFrame(const BITMAPINFOHEADER& header, const BYTE* bits);
    // Completes and closes the file (the destructor does it too); false when that failed, and
    // then Failure() says why.
    bool Close();
    // Whether the next frame of the recorded size would take the file past its limit.
    bool IsFull() const;
    // What disabled the writer (the file's failure); Done while it works.
    const Outcome& Failure() const { return m_failure; }
    int Frames() const { return m_nFrames; }

private:
    bool Open(const BITMAPINFOHEADER& first);
    // Writes the bytes where the file stands; false (and the writer disabled) when they did not
    // all go.
    bool Write(const void* bytes, DWORD size);
    void Disable(const Outcome& why);

    std::string m_strFileName;
    int m_nWidth;
    int m_nHeight;
    int m_nRate;
    unsigned long long m_nMaxFileBytes;
    CFileHandle m_file;
    std::vector<BYTE> m_format;  // the first frame's header and colour table
    std::vector<BYTE> m_index;   // 16 bytes a frame, written after the frames
    DWORD m_nHeaderBytes = 0;
    int m_nFrames = 0;
    unsigned long long m_nBytes = 0;  // frame data written so far
    DWORD m_nFrameBytes = 0;          // of one frame
    bool m_bEnabled = true;
    Outcome m_failure;
};
