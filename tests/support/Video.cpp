#include "support/Video.h"

#include "support/Files.h"

#include <cstdlib>
#include <sstream>

namespace testing_support {

namespace {
std::string ReadText(const std::string& windowsPath)
{
    const std::vector<BYTE> bytes = ReadBytes(windowsPath);
    return std::string(bytes.begin(), bytes.end());
}
}  // namespace

CVideoInfo ProbeVideo(const std::string& hostPath)
{
    CVideoInfo info;
    const std::string stream = CScratch::Host("probe-stream.txt"), packets = CScratch::Host("probe-packets.txt");
    const std::string script = "ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,width,height,r_frame_rate "
                               "-of default=noprint_wrappers=1 '" + hostPath + "' > '" + stream + "' && "
                               "ffprobe -v error -select_streams v:0 -show_entries packet=flags -of csv=p=0 '" +
                               hostPath + "' > '" + packets + "'";
    if (RunOnHost(script) != 0)
        return info;
    info.read = true;
    std::istringstream lines(ReadText(CScratch::Windows("probe-stream.txt")));
    for (std::string line; std::getline(lines, line);) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "codec_name")
            info.codec = value;
        else if (key == "width")
            info.width = std::atoi(value.c_str());
        else if (key == "height")
            info.height = std::atoi(value.c_str());
        else if (key == "r_frame_rate")
            info.frameRate = value;
    }
    std::istringstream flags(ReadText(CScratch::Windows("probe-packets.txt")));
    for (std::string line; std::getline(flags, line);) {
        if (line.empty())
            continue;
        ++info.packets;
        if (line[0] == 'K')
            ++info.keyPackets;
    }
    return info;
}

std::vector<CPixels> DecodeFrames(const std::string& hostPath, int width, int height)
{
    std::vector<CPixels> frames;
    const std::string raw = CScratch::Host("frames.rgb");
    if (RunOnHost("ffmpeg -v error -y -i '" + hostPath + "' -f rawvideo -pix_fmt rgb24 '" + raw + "'") != 0)
        return frames;
    const std::vector<BYTE> bytes = ReadBytes(CScratch::Windows("frames.rgb"));
    const size_t frameBytes = static_cast<size_t>(width) * height * 3;
    for (size_t at = 0; frameBytes && at + frameBytes <= bytes.size(); at += frameBytes) {
        CPixels pixels;
        pixels.width = width;
        pixels.height = height;
        for (size_t i = at; i < at + frameBytes; i += 3)
            pixels.data.push_back(static_cast<DWORD>(bytes[i]) << 16 | bytes[i + 1] << 8 | bytes[i + 2]);
        frames.push_back(std::move(pixels));
    }
    return frames;
}

}  // namespace testing_support
