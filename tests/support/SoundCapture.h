// What the program played: the test environment's sound device writes every sample it is
// given to a file (named by PIXLET_SOUND_CAPTURE), rewritten at each playing.
#pragma once

#include <vector>

namespace testing_support {

// Whether the environment captures sound. Where it does not (PIXLET_SOUND_CAPTURE unset, or
// no working sound device behind it) the calling test fails here with the reason: a check of
// what was played must not pass unchecked.
bool SoundCaptureAvailable();
// Forgets what was captured so far.
void ClearSoundCapture();
// The samples captured since the last clear (empty when nothing was played). Where sound is
// not captured, the calling test fails here too, so that silence is never taken for an answer.
std::vector<unsigned char> CapturedSound();
// The sample data of the program's shutter sound, read from its resource file.
std::vector<unsigned char> ShutterSamples();

}  // namespace testing_support
