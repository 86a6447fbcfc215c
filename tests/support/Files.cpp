#include "support/Files.h"

#include "support/Process.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace testing_support {

std::vector<BYTE> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsInUse(const std::string& path)
{
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_SHARING_VIOLATION;
    ::CloseHandle(file);
    return false;
}

::testing::AssertionResult FileAppears(const std::string& directory, const std::string& name, DWORD timeoutMs)
{
    const std::string path = directory + name;
    if (WaitUntil([&] { return FileExists(path) && !IsInUse(path); }, timeoutMs))
        return ::testing::AssertionSuccess();
    std::string found;
    WIN32_FIND_DATAA entry = {};
    const HANDLE search = ::FindFirstFileA((directory + "*").c_str(), &entry);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileA(search, &entry))
        found += entry.cFileName[0] == '.' ? "" : (found.empty() ? "" : ", ") + std::string(entry.cFileName);
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
