// Files as the tests meet them: whole files read and written, a scratch directory that the
// host sees too, Unix paths reached through Wine's drive Z:, and shell scripts run on the host
// (ImageMagick, ln, chattr) from inside Wine.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testing_support {

// Paths and texts here are UTF-8, passed to the system in its wide forms, so that a test can
// name files and folders in any script.
std::wstring Wide(const std::string& utf8);
std::string Utf8Of(const std::wstring& wide);

std::vector<BYTE> ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes);
bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);
// Whether another process holds the file open (it cannot be opened for this one alone).
bool IsInUse(const std::string& path);
// Whether the file is a RIFF file whose header counts its chunks: an AVI file that was completed
// (the header is written last; the library may leave a few bytes after the chunks).
bool IsCompleteRiff(const std::string& path);
// The file `name` appears in the directory (with a trailing backslash), written and closed,
// within the time; if not, the failure names what the directory holds.
::testing::AssertionResult FileAppears(const std::string& directory, const std::string& name, DWORD timeoutMs = 5000);

// A Windows path for a Unix path (through Wine's Z: drive); other paths as they are.
std::string WindowsPath(const std::string& path);
// The host's path of a Windows path (a folder of the Wine prefix's drive_c, say), as Wine maps it;
// empty when Wine does not say.
std::string HostPath(const std::string& windowsPath);

// A directory under the host's /tmp made for this test program, removed at exit.
// Windows names are Z:\tmp\..., host names /tmp/...
class CScratch
{
public:
    static const std::string& WindowsDir();  // with trailing backslash
    static const std::string& HostDir();     // with trailing slash
    static std::string Windows(const std::string& name) { return WindowsDir() + name; }
    static std::string Host(const std::string& name) { return HostDir() + name; }
};

// Runs a shell script on the host (not under Wine) and waits for it; its exit status, or -1
// when it did not finish within the time. Wine returns neither the exit code nor a waitable
// handle for a host program, so the script's end is seen by the status file it writes.
int RunOnHost(const std::string& script, DWORD timeoutMs = 60000);

}  // namespace testing_support
