// AVI files as an independent reader sees them: ffprobe's account of the video stream and
// ffmpeg's decoding of its frames, run on the host.
#pragma once

#include "support/Screen.h"

#include <string>
#include <vector>

namespace testing_support {

struct CVideoInfo {
    bool read = false;  // ffprobe could read the file
    std::string codec;
    int width = 0, height = 0;
    std::string frameRate;  // "10/1"
    int packets = 0, keyPackets = 0;
};
// The first video stream of the file (a host path).
CVideoInfo ProbeVideo(const std::string& hostPath);
// Its frames decoded to pixels, in order; empty when ffmpeg could not.
std::vector<CPixels> DecodeFrames(const std::string& hostPath, int width, int height);

}  // namespace testing_support
