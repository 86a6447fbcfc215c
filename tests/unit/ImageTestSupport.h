// Helpers of the image tests: packed DIBs built byte by byte, a scratch directory that the
// host sees too, and host programs (ImageMagick, ln, chattr) run from inside Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace image_testing {

// A packed DIB in a movable block: a 40-byte header (biSizeImage 0), clrUsed colour table
// entries (colors: 0xRRGGBB each, missing ones black), then rows bottom-up as given (each
// exactly the stride long; missing bytes zero). The caller owns the block.
HGLOBAL MakeDib(int width, int height, WORD bitCount, DWORD clrUsed = 0,
                const std::vector<DWORD>& colors = {}, const std::vector<BYTE>& rows = {});

// A copy of a block's bytes.
std::vector<BYTE> BlockBytes(HGLOBAL hDib);
BITMAPINFOHEADER BlockHeader(HGLOBAL hDib);

std::vector<BYTE> ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes);
bool FileExists(const std::string& path);

// The chunk types of a PNG file in their order; empty when the signature is wrong or a chunk
// runs past the end.
std::vector<std::string> PngChunks(const std::vector<BYTE>& file);
// The fields of a PNG file's IHDR (width, height, bit depth, colour type, compression, filter,
// interlace); false when there is none first.
struct CPngHeader {
    DWORD width, height;
    BYTE bitDepth, colorType, compression, filter, interlace;
};
bool ReadPngHeader(const std::vector<BYTE>& file, CPngHeader& header);

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

}  // namespace image_testing
