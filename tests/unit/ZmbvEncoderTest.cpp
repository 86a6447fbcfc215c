// The block coder's frames written into AVI files and read back by ffprobe and ffmpeg on the host:
// each frame decodes to exactly the pixels coded, and costs what changed in it.
#include "avi/AviWriter.h"
#include "avi/ZmbvEncoder.h"
#include "support/Files.h"
#include "support/Video.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace testing_support;

namespace {
// Noise, which deflate cannot shrink: a block that is sent shows in the frame's size.
void Noise(CPixels& picture, const RECT& area, DWORD seed)
{
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            picture.data[static_cast<size_t>(y * picture.width + x)] = (seed = seed * 1664525u + 1013904223u) >> 8;
}
// Rows moved up (a page scrolled down by `rows`) or down (negative), noise where they left room.
void Scroll(CPixels& picture, int rows)
{
    const CPixels before = picture;
    const int w = picture.width, h = picture.height;
    for (int y = 0; y < h; ++y)
        if (y + rows >= 0 && y + rows < h)
            std::copy_n(&before.data[static_cast<size_t>((y + rows) * w)], w, &picture.data[static_cast<size_t>(y * w)]);
    Noise(picture, rows > 0 ? RECT{0, h - rows, w, h} : RECT{0, 0, w, -rows}, 7);
}
struct Step {
    std::function<void(CPixels&)> change;  // the frame, made from the one before
    DWORD maxBytes;                        // that it may cost coded (0: not counted)
};
}  // namespace

TEST(ZmbvEncoder, FramesDecodeToThePixelsCodedAndCostWhatChanged)
{
    const auto still = [](CPixels&) {};
    const auto noise = [](RECT area) { return [area](CPixels& p) { Noise(p, area, p.data[0] + area.left * 31 + area.bottom); }; };
    const auto scroll = [](int rows) { return [rows](CPixels& p) { Scroll(p, rows); }; };
    const struct {
        const char* name;
        int width, height, keyInterval;
        bool search;
        std::vector<Step> steps;
        int keys;
    } cases[] = {
        {"unchanged and changed blocks", 64, 48, 100, false,
         {{noise({0, 0, 64, 48}), 0}, {still, 24}, {noise({16, 16, 32, 32}), 16 * 16 * 4 + 64},
          {noise({40, 20, 41, 21}), 64}, {noise({0, 0, 64, 48}), 0}, {still, 24}}, 1},
        {"edges of a width and height not multiples of 16", 70, 37, 100, false,
         {{noise({0, 0, 70, 37}), 0}, {noise({64, 32, 70, 37}), 6 * 5 * 4 + 64},
          {noise({0, 33, 70, 37}), 70 * 5 * 4 + 64}, {noise({69, 0, 70, 37}), 6 * 37 * 4 + 64}, {noise({0, 0, 70, 37}), 0}}, 1},
        {"a key frame every third frame", 32, 32, 3, false,
         {{noise({0, 0, 32, 32}), 0}, {noise({0, 0, 8, 8}), 0}, {still, 24}, {still, 0}, {noise({9, 9, 20, 20}), 0},
          {still, 0}, {noise({0, 0, 32, 32}), 0}}, 3},
        {"much changed between frames where little did", 384, 384, 100, false,
         {{noise({0, 0, 384, 384}), 0}, {still, 64}, {noise({0, 0, 384, 384}), 0}, {noise({0, 0, 384, 200}), 0},
          {noise({0, 0, 9, 9}), 2 * 1024}}, 1},
        {"a scrolled page, searched", 64, 64, 100, true,
         {{noise({0, 0, 64, 64}), 0}, {scroll(5), 4 * 1024 + 96}, {scroll(-15), 4 * 1024 + 96}, {scroll(16), 0}}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = CScratch::Windows("zmbv.avi");
        std::vector<CPixels> frames;
        CPixels picture{c.width, c.height, std::vector<DWORD>(static_cast<size_t>(c.width * c.height))};
        {
            CZmbvEncoder encoder(c.width, c.height, c.keyInterval, c.search);
            ASSERT_TRUE(encoder.IsReady());
            CAviWriter writer(file, -1, -1, 10);
            std::vector<DWORD> bits(picture.data.size());
            for (const Step& step : c.steps) {
                step.change(picture);
                frames.push_back(picture);
                for (int y = 0; y < c.height; ++y)  // bottom row first, as a DIB holds them
                    std::copy_n(&picture.data[static_cast<size_t>(y * c.width)], c.width,
                                &bits[static_cast<size_t>((c.height - 1 - y) * c.width)]);
                ASSERT_TRUE(encoder.Encode(reinterpret_cast<const BYTE*>(bits.data())));
                EXPECT_LE(encoder.Size(), step.maxBytes ? step.maxBytes : ~0u) << "frame " << frames.size() - 1;
                ASSERT_TRUE(writer.WriteCodedFrame(encoder.Format(), encoder.Data(), encoder.Size(), encoder.IsKeyFrame()));
            }
            ASSERT_TRUE(writer.Close());
        }
        const CVideoInfo info = ProbeVideo(CScratch::Host("zmbv.avi"));
        ASSERT_TRUE(info.read);
        EXPECT_EQ(info.codec, "zmbv");
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.packets, static_cast<int>(c.steps.size()));
        EXPECT_EQ(info.keyPackets, c.keys);
        const std::vector<CPixels> decoded = DecodeFrames(CScratch::Host("zmbv.avi"), c.width, c.height);
        ASSERT_EQ(decoded.size(), frames.size());
        for (size_t i = 0; i < frames.size(); ++i)
            EXPECT_TRUE(decoded[i].data == frames[i].data) << "frame " << i << " decodes to other pixels";
    }
}
