// Pictures of every source depth and of awkward sizes, widened and written as BMP and PNG
// files, decoded by ImageMagick on the host (a decoder this program does not contain) back to
// exactly the source picture.
#include "ImageTestSupport.h"
#include "image/DibImage.h"
#include "image/PngWriter.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <random>

using namespace image_testing;
using namespace testing_support;

namespace {
struct CSource {
    int width, height;
    WORD bitCount;
    std::vector<DWORD> colors;  // 0xRRGGBB, for indexed depths
    std::vector<BYTE> rows;     // bottom-up, padding included (random too: it must not show)
    std::vector<BYTE> rgb;      // the picture, top row first, red-green-blue
};

CSource RandomSource(int width, int height, WORD bitCount, std::mt19937& random)
{
    CSource s{width, height, bitCount, {}, {}, {}};
    std::uniform_int_distribution<int> byte(0, 255);
    if (bitCount <= 8) {
        for (int i = 0; i < (1 << bitCount); ++i)
            s.colors.push_back(static_cast<DWORD>(random() & 0xFFFFFF));
    }
    const int stride = DibStride(width, bitCount);
    s.rows.resize(static_cast<size_t>(stride) * height);
    for (BYTE& b : s.rows)
        b = static_cast<BYTE>(byte(random));
    s.rgb.reserve(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const BYTE* row = &s.rows[static_cast<size_t>(height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            DWORD color;
            switch (bitCount) {
            case 1: color = s.colors[(row[x / 8] >> (7 - x % 8)) & 1]; break;
            case 4: color = s.colors[(row[x / 2] >> (x % 2 ? 0 : 4)) & 15]; break;
            case 8: color = s.colors[row[x]]; break;
            case 24: color = static_cast<DWORD>(row[3 * x + 2] << 16 | row[3 * x + 1] << 8 | row[3 * x]); break;
            default: color = static_cast<DWORD>(row[4 * x + 2] << 16 | row[4 * x + 1] << 8 | row[4 * x]); break;
            }
            s.rgb.push_back(static_cast<BYTE>(color >> 16));
            s.rgb.push_back(static_cast<BYTE>(color >> 8));
            s.rgb.push_back(static_cast<BYTE>(color));
        }
    }
    return s;
}

// The chunk types with runs of one type (IDAT may come in several chunks) counted once.
std::vector<std::string> ChunkKinds(const std::vector<BYTE>& file)
{
    std::vector<std::string> kinds;
    for (const std::string& chunk : PngChunks(file))
        if (kinds.empty() || kinds.back() != chunk)
            kinds.push_back(chunk);
    return kinds;
}

// Writes every size of one source depth as the program does (widen to 24 bits, then BMP or
// PNG), and the indexed sources also as they are, then has them all decoded in one host run.
void RoundTrip(WORD bitCount)
{
    const std::pair<int, int> sizes[] = {
        {1, 2}, {2, 2}, {3, 2}, {5, 2}, {33, 2}, {1921, 2}, {1, 1}, {5, 1}, {1921, 1}, {1, 1081}, {1921, 1081},
    };
    std::mt19937 random(bitCount * 7919u);
    std::vector<CSource> sources;
    std::vector<std::string> files;
    std::string script = "set -e\n";
    for (const auto& size : sizes) {
        sources.push_back(RandomSource(size.first, size.second, bitCount, random));
        const CSource& s = sources.back();
        const std::string base = std::to_string(bitCount) + "bpp-" + std::to_string(s.width) + "x" +
                                 std::to_string(s.height);
        std::vector<std::string> names = {base + ".bmp", base + ".png"};

        CDibImage forBmp, forPng;
        ASSERT_TRUE(forBmp.Attach(MakeDib(s.width, s.height, bitCount, 0, s.colors, s.rows)));
        if (bitCount <= 8) {
            names.push_back(base + "-indexed.bmp");
            ASSERT_TRUE(forBmp.Save(CScratch::Windows(names.back()).c_str()).IsDone());
        }
        ASSERT_TRUE(forBmp.ConvertTo24Bit()) << base;
        ASSERT_TRUE(forBmp.Save(CScratch::Windows(names[0]).c_str()).IsDone()) << base;
        ASSERT_TRUE(forPng.Attach(MakeDib(s.width, s.height, bitCount, 0, s.colors, s.rows)));
        ASSERT_TRUE(forPng.ConvertTo24Bit()) << base;
        ASSERT_TRUE(SavePng(CScratch::Windows(names[1]).c_str(), forPng).IsDone()) << base;

        for (const std::string& name : names) {
            script += "convert-im6.q16 " + CScratch::Host(name) + " -depth 8 rgb:" + CScratch::Host(name) + ".rgb\n";
            files.push_back(name);
        }
    }
    ASSERT_EQ(RunOnHost(script), 0) << "ImageMagick could not decode every file";

    size_t file = 0;
    for (const CSource& s : sources) {
        const size_t count = bitCount <= 8 ? 3 : 2;
        for (size_t i = 0; i < count; ++i, ++file) {
            const std::string& name = files[file];
            const std::vector<BYTE> decoded = ReadBytes(CScratch::Windows(name + ".rgb"));
            ASSERT_EQ(decoded.size(), s.rgb.size()) << name;
            EXPECT_TRUE(decoded == s.rgb) << name << " does not decode to the source picture";
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) {
                EXPECT_EQ(ChunkKinds(ReadBytes(CScratch::Windows(name))),
                          (std::vector<std::string>{"IHDR", "IDAT", "IEND"}))
                    << name;
            }
        }
    }
}
}  // namespace

TEST(ImageRoundTrip, OneBitSources) { RoundTrip(1); }
TEST(ImageRoundTrip, FourBitSources) { RoundTrip(4); }
TEST(ImageRoundTrip, EightBitSources) { RoundTrip(8); }
TEST(ImageRoundTrip, TwentyFourBitSources) { RoundTrip(24); }
TEST(ImageRoundTrip, ThirtyTwoBitSources) { RoundTrip(32); }
