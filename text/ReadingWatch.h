// The watch over one reading of a window's text that runs on a thread of its own: the reading
// tells it how far it has come, and the interface thread reads that to show it and asks it to
// stop there.
#pragma once

#include "text/TextSink.h"
#include "framework/WorkerThread.h"

#include <atomic>
#include <string>

// How far a reading has come: `done` whole units of `of` (-1: a count not known beforehand).
struct ReadingProgress {
    bool begun = false;  // the reader has said what it reads
    CutUnit unit = CutUnit::Items;
    LRESULT done = 0;
    LRESULT of = -1;
};

// Shared by the reading thread (the sink's side) and the interface thread (Now, Stop). Each
// figure is read on its own: a count and its total may be a whole item apart, never torn.
class CReadingWatch final : public CTextSink
{
public:
    bool Grew(const std::string& /*text*/) override { return !m_stop.StopRequested(); }
    void Counted(CutUnit unit, LRESULT done, LRESULT of) override
    {
        m_unit.store(unit);
        m_of.store(of);
        m_done.store(done);
        m_begun.store(true);
    }

    bool StopAsked() override { return m_stop.StopRequested(); }
    HANDLE StopEvent() const override { return m_stop.Event(); }

    // The reading ends before its next query, with the whole items it has read kept.
    void Stop() { m_stop.RequestStop(); }
    ReadingProgress Now() const
    {
        ReadingProgress now;
        now.begun = m_begun.load();
        now.unit = m_unit.load();
        now.done = m_done.load();
        now.of = m_of.load();
        return now;
    }

private:
    CStopToken m_stop;
    std::atomic<bool> m_begun{false};
    std::atomic<CutUnit> m_unit{CutUnit::Items};
    std::atomic<LRESULT> m_done{0};
    std::atomic<LRESULT> m_of{-1};
};

// What is being read, for the user: "Reading the rows of a list view...".
std::string ReadingWhat(CutUnit unit);
// How far it has come: "1,234 of 20,000 rows"; "1,234 items" where the count is not known (a
// tree). Empty before the reader has said what it reads.
std::string ReadingHowFar(const ReadingProgress& progress);
