// The sink of a reading of a window's text: told of the text while the reading goes on, and
// asked whether the reading is to stop. Shared by the readers of controls, both sides of the
// 64-bit companion and the watch that the interface thread keeps over a reading.
#pragma once

#include "text/ReadLimits.h"

#include <windows.h>

#include <string>

// Told of the text each time it has grown by whole items (rows, lines): the reader mode passes
// them on at once, so that what was read is kept even where the reading is cut short. False
// stops the reading there, after whole items, noted as stopped.
class CTextSink
{
public:
    virtual bool Grew(const std::string& text) = 0;
    // How far the reading has come: `done` whole units of `of` (-1 where the count is not known
    // beforehand, as in a tree). Told when the reading begins and after each whole item.
    virtual void Counted(CutUnit unit, LRESULT done, LRESULT of)
    {
        (void)unit, (void)done, (void)of;
    }
    // Asked before every query of the reading: true ends it there, with the whole items read so
    // far, noted as stopped. A program that answers slowly costs at most the query under way.
    virtual bool StopAsked() { return false; }
    // An event that is set once a stop is asked, for a reading that waits on something else
    // meanwhile (the companion's reply); null where there is none.
    virtual HANDLE StopEvent() const { return nullptr; }

protected:
    ~CTextSink() = default;
};
