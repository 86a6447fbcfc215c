// What the program played: the test environment's sound device writes every sample it is
// given to a file (named by PIXLET_SOUND_CAPTURE), rewritten at each playing.
#pragma once

#include <vector>

namespace testing_support {

// Whether the environment captures sound at all.
bool SoundCaptureAvailable();
// Forgets what was captured so far.
void ClearSoundCapture();
// The samples captured since the last clear (empty when nothing was played).
std::vector<unsigned char> CapturedSound();
// The sample data of the program's shutter sound, read from its resource file.
std::vector<unsigned char> ShutterSamples();

}  // namespace testing_support
