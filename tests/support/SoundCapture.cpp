#include "support/SoundCapture.h"

#include "support/Files.h"

#include <windows.h>

#include <cstdlib>

namespace testing_support {

namespace {
std::string CapturePath()
{
    const char* path = std::getenv("PIXLET_SOUND_CAPTURE");
    return path ? WindowsPath(path) : std::string();
}
}  // namespace

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
    return path.empty() ? std::vector<unsigned char>() : ReadBytes(path);
}

std::vector<unsigned char> ShutterSamples()
{
    const std::vector<unsigned char> wave = ReadBytes(WindowsPath(PIXLET_TEST_DATA_DIR "/../res/Shutter.wav"));
    // A canonical RIFF/WAVE file: the samples follow the 44-byte header.
    return wave.size() > 44 ? std::vector<unsigned char>(wave.begin() + 44, wave.end()) : wave;
}

}  // namespace testing_support
