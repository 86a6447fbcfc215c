#include "avi/RecordingFiles.h"

#include "avi/RecordingParts.h"

int ZmbvKeyInterval(int rate)
{
    return rate > 0 ? 10 * rate : 1;
}

std::string StillCompleting(const std::string& file)
{
    return file + " is still being completed. The recording ended without waiting for it; the program completes it "
                  "meanwhile and waits for it before it exits.";
}

CRecordingFiles::CRecordingFiles(const RecordingFileChoices& choices)
    : m_choices(choices),
      m_strCurrent(choices.first),
      m_pWriter(std::make_unique<CAviWriter>(choices.first, -1, -1, choices.rate, choices.vfwVersion,
                                             choices.maxFileBytes))
{
    m_pWriter->NameStream(PartMark(m_choices.first, m_nPart));
    if (!m_pWriter->IsEnabled())
        Fail(m_pWriter->Failure());
}

bool CRecordingFiles::Fail(const Outcome& why)
{
    if (m_failure.IsDone())
        m_failure = why;
    return false;
}

bool CRecordingFiles::Write(const BITMAPINFOHEADER& header, const BYTE* bits)
{
    if (!m_failure.IsDone() || m_bFinished)
        return false;
    // The frame that would take the file past what readers accept goes into the next file.
    if (m_pWriter->IsFull() && !NextPart())
        return false;
    const int before = m_pWriter->Frames();
    if (m_choices.compress) {
        if (!m_pEncoder) {
            m_pEncoder = std::make_unique<CZmbvEncoder>(header.biWidth, header.biHeight,
                                                        ZmbvKeyInterval(m_choices.rate), true);
            if (!m_pEncoder->IsReady())
                return Fail(Outcome::Of(Outcome::Kind::OutOfMemory));
        }
        const BITMAPINFOHEADER& format = m_pEncoder->Format();
        // A frame of another size is left out, as the writer leaves out an uncompressed one.
        if (header.biBitCount != 32 || header.biWidth != format.biWidth || header.biHeight != format.biHeight)
            return true;
        // Every part starts with a frame a player can start from.
        if (before == 0)
            m_pEncoder->ForceKeyFrame();
        if (!m_pEncoder->Encode(bits))
            return Fail(Outcome::Of(Outcome::Kind::OutOfMemory));
        m_pWriter->WriteCodedFrame(format, m_pEncoder->Data(), m_pEncoder->Size(), m_pEncoder->IsKeyFrame());
    } else {
        m_pWriter->WriteFrame(header, bits);
    }
    if (!m_pWriter->IsEnabled())
        return Fail(m_pWriter->Failure());
    if (m_pWriter->Frames() == before)
        return true;
    ++m_nFrames;
    // The first file is made: what earlier recordings into it left beside it would pass for
    // this one's parts.
    if (m_nFrames == 1) {
        const Outcome removed = RemoveEarlierParts(m_choices.first);
        if (!removed.IsDone())
            return Fail(removed);
    }
    return true;
}

bool CRecordingFiles::NextPart()
{
    // One part is completed at a time: the one before must be whole before this one goes.
    const Outcome closed = FinishClosing();
    if (!closed.IsDone())
        return Fail(closed);
    const Outcome place = ClaimPartPlace(m_choices.first, m_nPart + 1);
    if (!place.IsDone())
        return Fail(place);
    // Made before the full one's writer goes, so that the library stays loaded between them.
    auto next = std::make_unique<CAviWriter>(AviPartName(m_choices.first, ++m_nPart), -1, -1, m_choices.rate,
                                             m_choices.vfwVersion, m_choices.maxFileBytes);
    next->NameStream(PartMark(m_choices.first, m_nPart));
    m_pClosing = std::make_unique<CPartCloser>(std::move(m_pWriter));
    m_pWriter = std::move(next);
    m_strCurrent = m_pWriter->FileName();
    return true;
}

Outcome CRecordingFiles::FinishClosing()
{
    if (!m_pClosing)
        return Outcome();
    if (!m_pClosing->Wait(m_choices.completionBoundMs))
        return Outcome::Refusal(StillCompleting(m_pClosing->FileName()));
    const Outcome outcome = m_pClosing->Result();
    m_pClosing.reset();
    return outcome;
}

Outcome CRecordingFiles::Finish()
{
    if (m_bFinished)
        return m_failure;
    m_bFinished = true;
    // The files are completed and closed first (the last, then the one before it, however long
    // it takes): the last bytes may fail to go out too.
    m_pWriter->Close();
    Outcome closed;
    if (m_pClosing) {
        m_pClosing->Wait(INFINITE);
        closed = m_pClosing->Result();
        m_pClosing.reset();
    }
    if (m_failure.IsDone())
        m_failure = !closed.IsDone() ? closed : m_pWriter->Failure();
    return m_failure;
}
