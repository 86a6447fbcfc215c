#include "text/ReadAnyWindow.h"

#include "text/Companion.h"
#include "text/ControlReaders.h"

#include <new>

Outcome ReadControlText(HWND control, std::string& text, CTextSink* sink)
{
    try {
        if (TreeNeeds64BitReader(control))
            return ReadThroughCompanion(control, text, sink);
        return GetControlText(control, text, kReadLimits, sink);
    } catch (const std::bad_alloc&) {
        text.clear();
        return Outcome::Of(Outcome::Kind::OutOfMemory);
    }
}
