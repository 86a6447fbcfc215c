#include "framework/Paths.h"

#include "framework/Handles.h"
#include "framework/Unicode.h"

bool EndsWithBackslash(const std::string& text)
{
    return !text.empty() && text.back() == '\\';
}

size_t SystemLength(const std::string& utf8)
{
    size_t units = 0;
    for (const char c : utf8) {
        const unsigned char byte = static_cast<unsigned char>(c);
        // A lead byte starts one unit; a four-byte character is a surrogate pair, two.
        if ((byte & 0xC0) != 0x80)
            units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

namespace {
// Names of this length or longer do not fit such a service's buffers.
const size_t kAnsiServiceNameLimit = 128;

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

bool MakeFolderPath(const std::string& folder)
{
    std::wstring path = Widen(folder);
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    if (path.empty())
        return false;
    // Each folder from the top down: the drive or the share at its head is there or is not.
    size_t start = 0;
    if (path.compare(0, 2, L"\\\\") == 0) {
        const size_t server = path.find(L'\\', 2);
        start = server == std::wstring::npos ? path.size() : path.find(L'\\', server + 1);
    } else if (path.size() >= 2 && path[1] == L':') {
        start = 2;
    }
    while (start != std::wstring::npos && start < path.size()) {
        const size_t end = path.find(L'\\', start + 1);
        const std::wstring partial = path.substr(0, end);
        if (!IsFolder(partial) && !::CreateDirectoryW(partial.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        start = end;
    }
    return IsFolder(path);
}

std::wstring NameForAnsiServices(const std::string& path)
{
    const std::wstring wide = Widen(path);
    BOOL lost = FALSE;
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &lost);
    if (!lost && wide.size() < kAnsiServiceNameLimit)
        return wide;
    // A file that cannot be made keeps its name: the service's own open then says why.
    CFileHandle file(::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return wide;
    file.Reset();
    wchar_t shortName[MAX_PATH] = L"";
    const DWORD length = ::GetShortPathNameW(wide.c_str(), shortName, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(shortName, length) : wide;
}
