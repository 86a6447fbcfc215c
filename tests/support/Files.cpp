#include "support/Files.h"

#include "support/Process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace testing_support {

std::wstring Wide(const std::string& utf8)
{
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

std::string Utf8Of(const std::wstring& wide)
{
    const int size = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &utf8[0], length, nullptr, nullptr);
    return utf8;
}

std::vector<BYTE> ReadBytes(const std::string& path)
{
    std::vector<BYTE> bytes;
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    BYTE buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    ::CloseHandle(file);
    return bytes;
}

bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsInUse(const std::string& path)
{
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_SHARING_VIOLATION;
    ::CloseHandle(file);
    return false;
}

bool IsCompleteRiff(const std::string& path)
{
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD header[2] = {}, read = 0;
    const bool whole = ::ReadFile(file, header, sizeof header, &read, nullptr) && read == sizeof header &&
                       std::memcmp(header, "RIFF", 4) == 0 && header[1] > 4 &&
                       header[1] <= ::GetFileSize(file, nullptr) - 8;
    ::CloseHandle(file);
    return whole;
}

::testing::AssertionResult FileAppears(const std::string& directory, const std::string& name, DWORD timeoutMs)
{
    const std::string path = directory + name;
    if (WaitUntil([&] { return FileExists(path) && !IsInUse(path); }, timeoutMs))
        return ::testing::AssertionSuccess();
    std::string found;
    WIN32_FIND_DATAW entry = {};
    const HANDLE search = ::FindFirstFileW(Wide(directory + "*").c_str(), &entry);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(search, &entry))
        found += entry.cFileName[0] == L'.' ? "" : (found.empty() ? "" : ", ") + Utf8Of(entry.cFileName);
    ::FindClose(search);
    return ::testing::AssertionFailure() << "expected " << name << " in " << directory << ", found: "
                                         << (found.empty() ? "nothing" : found)
                                         << (FileExists(path) ? ", still open" : "");
}

namespace {
bool StartOnHost(std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hProcess)
        ::CloseHandle(process.hProcess);
    if (process.hThread)
        ::CloseHandle(process.hThread);
    return true;
}

std::string ScratchName()
{
    char name[64];
    std::snprintf(name, sizeof name, "pixlet-tests-%lu-%lu", ::GetCurrentProcessId(), ::GetTickCount());
    return name;
}

struct CScratchDir {
    std::string name = ScratchName();
    std::string windows = "Z:\\tmp\\" + name + "\\";
    std::string host = "/tmp/" + name + "/";
    CScratchDir() { ::CreateDirectoryA(windows.c_str(), nullptr); }
    ~CScratchDir()
    {
        // Files made unchangeable by a test must become changeable again to go. Not waited
        // for: the directory goes after this program.
        std::string commandLine = "/bin/sh -c \"chattr -R -i " + host + " 2>/dev/null; rm -rf " + host + "\"";
        StartOnHost(commandLine);
    }
};

CScratchDir& Scratch()
{
    static CScratchDir dir;
    return dir;
}
}  // namespace

const std::string& CScratch::WindowsDir()
{
    return Scratch().windows;
}

const std::string& CScratch::HostDir()
{
    return Scratch().host;
}

int RunOnHost(const std::string& script, DWORD timeoutMs)
{
    static int counter = 0;
    const std::string base = "host-" + std::to_string(++counter);
    const std::string status = CScratch::Host(base + ".status");
    if (!WriteBytes(CScratch::Windows(base + ".sh"),
                    std::vector<BYTE>(script.begin(), script.end())))
        return -1;
    const std::string runner = CScratch::Host(base + ".run");
    const std::string wrapper = "sh " + CScratch::Host(base + ".sh") + "; echo $? > " + status + ".tmp; mv " +
                                status + ".tmp " + status + "\n";
    if (!WriteBytes(CScratch::Windows(base + ".run"), std::vector<BYTE>(wrapper.begin(), wrapper.end())))
        return -1;

    if (!StartOnHost("/bin/sh " + runner))
        return -1;

    const std::string statusFile = CScratch::Windows(base + ".status");
    const DWORD start = ::GetTickCount();
    while (!FileExists(statusFile)) {
        if (::GetTickCount() - start > timeoutMs)
            return -1;
        ::Sleep(5);
    }
    const std::vector<BYTE> text = ReadBytes(statusFile);
    return std::atoi(std::string(text.begin(), text.end()).c_str());
}

std::string HostPath(const std::string& windowsPath)
{
    // Wine's own export: the Unix name of a DOS path, on the process heap.
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(Wide(windowsPath).c_str()) : nullptr;
    if (!name)
        return std::string();
    const std::string host(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return host;
}

std::string WindowsPath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    return windows;
}

}  // namespace testing_support
