#include "avi/RecordingParts.h"

#include "avi/AviFacts.h"
#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/Unicode.h"

#include <windows.h>

namespace {
const char kMarkStart[] = "Pixlet32 part ";
const size_t kMarkLength = 63;  // what AVISTREAMINFO's name holds, its NUL aside

// The first file's folder (with its separator) and its name's stem and extension: the parts'
// names are folder + stem + "-N" + extension.
struct FirstName {
    std::string folder, stem, extension;
};

FirstName SplitFirst(const std::string& first)
{
    const size_t nameAt = first.find_last_of("\\/:") + 1;  // npos + 1: no folder
    const size_t stem = first.size() - nameAt >= 4 && ::lstrcmpiA(first.c_str() + first.size() - 4, ".avi") == 0
                            ? first.size() - 4
                            : first.size();
    return FirstName{first.substr(0, nameAt), first.substr(nameAt, stem - nameAt), first.substr(stem)};
}

bool IsMarkOf(const std::string& mark, const std::string& first, int part)
{
    return ::lstrcmpiA(mark.c_str(), PartMark(first, part).c_str()) == 0;
}

// The part number of a file found by the pattern stem + "-*" + extension: 0 unless its name is
// exactly that of a part (2 or later) of `first`.
int PartNumberOf(const std::string& first, const FirstName& split, const std::string& found)
{
    const size_t head = split.stem.size() + 1, tail = split.extension.size();
    if (found.size() <= head + tail || found.size() - head - tail > 9)
        return 0;
    const std::string digits = found.substr(head, found.size() - head - tail);
    if (digits[0] == '0' || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int part = std::stoi(digits);
    const bool named = ::lstrcmpiW(Widen(AviPartName(first, part)).c_str(), Widen(split.folder + found).c_str()) == 0;
    return part >= 2 && named ? part : 0;
}
}  // namespace

std::string AviPartName(const std::string& first, int part)
{
    if (part <= 1)
        return first;
    const FirstName split = SplitFirst(first);
    return split.folder + split.stem + "-" + std::to_string(part) + split.extension;
}

std::string PartMark(const std::string& first, int part)
{
    std::string mark = kMarkStart + std::to_string(part) + " of ";
    const FirstName split = SplitFirst(first);
    for (const char c : split.stem + split.extension) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F)
            mark += c;
        else if (byte < 0x80 || byte >= 0xC0)  // a character's first byte
            mark += '?';
    }
    return mark.substr(0, kMarkLength);
}

Outcome RemoveEarlierParts(const std::string& first)
{
    const FirstName split = SplitFirst(first);
    WIN32_FIND_DATAW found;
    CFindHandle search(::FindFirstFileW(Widen(split.folder + split.stem + "-*" + split.extension).c_str(), &found));
    if (!search)
        return Outcome();
    do {
        const std::string name = Utf8(found.cFileName);
        const int part = PartNumberOf(first, split, name);
        if (part == 0 || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !IsMarkOf(ReadAviFacts(split.folder + name).streamName, first, part))
            continue;
        if (!::DeleteFileW(Widen(split.folder + name).c_str()))
            return Outcome::Refusal(split.folder + name + " is left from an earlier recording into " + first +
                                    " and could not be removed, so the recording ended: it would pass for a part of this one.");
    } while (::FindNextFileW(search, &found));
    return Outcome();
}

Outcome ClaimPartPlace(const std::string& first, int part)
{
    const std::string name = AviPartName(first, part), before = AviPartName(first, part - 1);
    if (SystemLength(name) >= MAX_PATH)
        return Outcome::Refusal("The name of the recording's next part would be longer than a path may be (" +
                                std::to_string(MAX_PATH - 1) + " characters), so the recording ended with " + before +
                                ".");
    const DWORD attributes = ::GetFileAttributesW(Widen(name).c_str());
    // Nothing there; or nothing that can be seen, and then the file's open says why.
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Outcome();
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && IsMarkOf(ReadAviFacts(name).streamName, first, part))
        return Outcome();
    return Outcome::Refusal(name + " is not a part of this recording, so it was not written over; the recording ended with " +
                            before + ".");
}
