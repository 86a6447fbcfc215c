#include "text/ReadAnyWindow.h"

#include "text/Companion.h"
#include "text/ControlReaders.h"

#include <new>

ReadResult ReadControlText(HWND control, std::string& text, CTextSink* sink)
{
    ReadResult result;
    try {
        result = GetControlText(control, text, kReadLimits, sink);
        if (result.outcome == ReadResult::Outcome::Needs64BitReader) {
            text.clear();
            result = ReadThroughCompanion(control, text, sink);
        }
    } catch (const std::bad_alloc&) {
        text.clear();
        result = ReadResult();
        result.outcome = ReadResult::Outcome::OutOfMemory;
    }
    return result;
}
