// A sink for a reading that wants a number of whole items and then no more, and remembers what
// it was told.
#pragma once

#include "text/TextSink.h"

#include <string>

namespace testing_support {

class CStoppingSink : public CTextSink
{
public:
    explicit CStoppingSink(int wanted) : m_wanted(wanted) {}
    bool Grew(const std::string& text) override
    {
        m_last = text;
        return ++m_grown < m_wanted;
    }
    void Counted(CutUnit unit, LRESULT done, LRESULT of) override
    {
        (void)unit;
        m_done = done;
        m_of = of;
    }

    int m_wanted;
    int m_grown = 0;
    LRESULT m_done = -1, m_of = 0;
    std::string m_last;  // the text as the sink last saw it
};

}  // namespace testing_support
