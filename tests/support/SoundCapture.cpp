#include "support/SoundCapture.h"

#include "support/Files.h"

#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace testing_support {

namespace {
std::string CapturePath()
{
    const char* path = std::getenv("PIXLET_SOUND_CAPTURE");
    return path ? WindowsPath(path) : std::string();
}

// Why the sound played cannot be heard here; empty when it can.
std::string SoundCaptureProblem()
{
    const char* unixPath = std::getenv("PIXLET_SOUND_CAPTURE");
    if (!unixPath || !*unixPath)
        return "PIXLET_SOUND_CAPTURE is not set. It names the file that the tests' sound device writes to; "
               "tools/pixlet.sh test sets it, and tools/wine-env.sh makes the device.";
    if (::waveOutGetNumDevs() == 0)
        return std::string("there is no sound device, so nothing reaches ") + unixPath +
               ". tools/wine-env.sh makes it ALSA's default device in $HOME/.asoundrc, with HOME the directory of "
               "PIXLET_SOUND_CAPTURE; Wine needs libasound2 of the program's architecture to use it.";
    return "";
}
}  // namespace

bool SoundCaptureAvailable()
{
    const std::string problem = SoundCaptureProblem();
    if (!problem.empty())
        ADD_FAILURE() << "The sound played cannot be checked: " << problem;
    return problem.empty();
}

void ClearSoundCapture()
{
    const std::string path = CapturePath();
    if (!path.empty())
        ::DeleteFileA(path.c_str());
}

std::vector<unsigned char> CapturedSound()
{
    // Nothing heard where nothing can be: no silence is taken for an answer.
    if (!SoundCaptureAvailable())
        return {};
    return ReadBytes(CapturePath());
}

std::vector<unsigned char> ShutterSamples()
{
    const std::vector<unsigned char> wave = ReadBytes(WindowsPath(PIXLET_TEST_DATA_DIR "/../res/Shutter.wav"));
    // A canonical RIFF/WAVE file: the samples follow the 44-byte header.
    return wave.size() > 44 ? std::vector<unsigned char>(wave.begin() + 44, wave.end()) : wave;
}

}  // namespace testing_support
