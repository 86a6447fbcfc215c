#include "text/ReadResult.h"

bool IsDeliverable(const ReadResult& result)
{
    switch (result.outcome) {
    case ReadResult::Outcome::Whole:
    case ReadResult::Outcome::Cut:
    case ReadResult::Outcome::Aborted:
        return true;
    case ReadResult::Outcome::Refused:
    case ReadResult::Outcome::Needs64BitReader:
    case ReadResult::Outcome::OutOfMemory:
        break;
    }
    return false;
}

std::string UnreadableProgramMessage(DWORD openError)
{
    const std::string cannot = "The text of this window cannot be read: ";
    if (openError == ERROR_ACCESS_DENIED)
        return cannot + "its program runs with higher rights than Pixlet32, or as another user.";
    return cannot + "its program could not be opened (error " + std::to_string(openError) + ").";
}

const char kTreeHandlesRefusal[] =
    "The items of this tree view cannot be read: it belongs to a 64-bit program, and its item handles do not "
    "fit a 32-bit reader.";
