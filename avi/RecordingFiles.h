// The files of one recording as its writer thread writes them: each frame, coded without loss
// when the recording is compressed, goes into the first file and, past what AVI readers accept,
// into next parts named after it (RecordingParts.h), each full part completed on a thread of its
// own (PartCloser) while the next one records. Made, used and destroyed on that one thread: the
// AVIFile library's initialisation, which the writers make, is that thread's.
#pragma once

#include "avi/AviWriter.h"
#include "avi/PartCloser.h"
#include "avi/ZmbvEncoder.h"
#include "framework/Outcome.h"

#include <windows.h>

#include <memory>
#include <string>

// Frames from one key frame to the next in a compressed recording: players seek to key frames,
// and one comes at least every 10 seconds.
int ZmbvKeyInterval(int rate);
// Why a recording ended while a full part was still being completed.
std::string StillCompleting(const std::string& file);

struct RecordingFileChoices {
    std::string first;  // the first file; the parts are named after it
    int rate = 0;
    bool compress = false;
    DWORD vfwVersion = 0;
    unsigned long long maxFileBytes = kMaxAviFileBytes;
    DWORD completionBoundMs = kPartCompletionBoundMs;
};

class CRecordingFiles
{
public:
    explicit CRecordingFiles(const RecordingFileChoices& choices);
    ~CRecordingFiles() { Finish(); }
    CRecordingFiles(const CRecordingFiles&) = delete;
    CRecordingFiles& operator=(const CRecordingFiles&) = delete;

    // Writes the next frame: a bottom-up DIB header (its colour table after it) and its rows,
    // 32 bits a pixel when compressed. With the first frame the first file is made, and the
    // parts that earlier recordings into it left go; a part starts with a key frame. False once
    // the recording cannot go on: Failure() says why.
    bool Write(const BITMAPINFOHEADER& header, const BYTE* bits);
    // Completes the last part, and waits for the one before without a bound (a file is not left
    // half-written): Done, or why the files are not what was asked.
    Outcome Finish();
    const Outcome& Failure() const { return m_failure; }
    // Frames written, in all parts.
    int Frames() const { return m_nFrames; }
    const std::string& CurrentFile() const { return m_strCurrent; }
    int Part() const { return m_nPart; }

private:
    bool NextPart();
    // Waits (within the bound) for the part being completed: Done, or why its file is not, or
    // that it is still being completed (it is then waited for at the end).
    Outcome FinishClosing();
    bool Fail(const Outcome& why);

    RecordingFileChoices m_choices;
    int m_nPart = 1;
    int m_nFrames = 0;
    std::string m_strCurrent;
    std::unique_ptr<CAviWriter> m_pWriter;
    std::unique_ptr<CPartCloser> m_pClosing;
    std::unique_ptr<CZmbvEncoder> m_pEncoder;
    Outcome m_failure;
    bool m_bFinished = false;
};
