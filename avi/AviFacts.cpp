#include "avi/AviFacts.h"

#include "framework/Handles.h"
#include "framework/Unicode.h"

#include <vfw.h>

#include <algorithm>
#include <cstddef>

namespace {
// The longest stream name read: the library stores at most 64 characters.
const DWORD kMaxStreamName = 256;

bool ReadAt(HANDLE file, ULONGLONG at, void* buffer, DWORD bytes)
{
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD read = 0;
    return ::ReadFile(file, buffer, bytes, &read, &where) && read == bytes;
}

// The chunks from `at` to `end`: into the header lists, over the frames' list (gigabytes that
// are skipped, not read).
void ReadChunks(HANDLE file, ULONGLONG at, ULONGLONG end, AviFacts& facts)
{
    DWORD chunk[3] = {};  // id, size, and a list's type
    while (at + 8 <= end && ReadAt(file, at, chunk, 8)) {
        const ULONGLONG data = at + 8, next = data + chunk[1] + (chunk[1] & 1);
        if (chunk[0] == FOURCC_LIST && chunk[1] >= 4 && ReadAt(file, data, &chunk[2], 4) &&
            (chunk[2] == listtypeAVIHEADER || chunk[2] == listtypeSTREAMHEADER)) {
            ReadChunks(file, data + 4, std::min(next, end), facts);
        } else if (chunk[0] == ckidAVIMAINHDR && chunk[1] >= offsetof(MainAVIHeader, dwTotalFrames) + 4) {
            ReadAt(file, data + offsetof(MainAVIHeader, dwTotalFrames), &facts.totalFrames, 4);
        } else if (chunk[0] == ckidSTREAMNAME && facts.streamName.empty()) {
            std::string name(std::min(chunk[1], kMaxStreamName), '\0');
            if (!name.empty() && ReadAt(file, data, &name[0], static_cast<DWORD>(name.size())))
                facts.streamName = name.c_str();
        } else if (chunk[0] == ckidAVINEWINDEX) {
            facts.indexed = true;
        }
        at = next;
    }
}
}  // namespace

AviFacts ReadAviFacts(const std::string& path)
{
    AviFacts facts;
    CFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    DWORD head[3] = {};  // RIFF, its size, AVI
    if (!file || !::GetFileSizeEx(file, &size) || !ReadAt(file, 0, head, sizeof head))
        return facts;
    const ULONGLONG end = 8ull + head[1];
    if (head[0] != FOURCC_RIFF || head[2] != formtypeAVI || end > static_cast<ULONGLONG>(size.QuadPart))
        return facts;
    facts.riff = true;
    ReadChunks(file, sizeof head, end, facts);
    return facts;
}
