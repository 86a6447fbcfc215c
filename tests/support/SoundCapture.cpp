#include "support/SoundCapture.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace testing_support {

namespace {
std::vector<unsigned char> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string CapturePath()
{
    const char* path = std::getenv("PIXLET_SOUND_CAPTURE");
    return path ? WindowsPath(path) : std::string();
}
}  // namespace

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

bool SoundCaptureAvailable()
{
    return !CapturePath().empty();
}

void ClearSoundCapture()
{
    const std::string path = CapturePath();
    if (!path.empty())
        ::DeleteFileA(path.c_str());
}

std::vector<unsigned char> CapturedSound()
{
    const std::string path = CapturePath();
    return path.empty() ? std::vector<unsigned char>() : ReadFileBytes(path);
}

std::vector<unsigned char> ShutterSamples()
{
    const std::vector<unsigned char> wave = ReadFileBytes(WindowsPath(PIXLET_TEST_DATA_DIR "/../res/Shutter.wav"));
    // A canonical RIFF/WAVE file: the samples follow the 44-byte header.
    return wave.size() > 44 ? std::vector<unsigned char>(wave.begin() + 44, wave.end()) : wave;
}

}  // namespace testing_support
