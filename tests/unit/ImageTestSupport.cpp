#include "ImageTestSupport.h"

#include <algorithm>
#include <cstring>

namespace image_testing {

HGLOBAL MakeDib(int width, int height, WORD bitCount, DWORD clrUsed, const std::vector<DWORD>& colors,
                const std::vector<BYTE>& rows)
{
    const DWORD stride = static_cast<DWORD>((width * bitCount + 31) / 32 * 4);
    const DWORD tableEntries = clrUsed ? clrUsed : (bitCount <= 8 ? 1u << bitCount : 0u);
    const SIZE_T size = sizeof(BITMAPINFOHEADER) + tableEntries * 4 + static_cast<SIZE_T>(stride) * height;
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* bytes = static_cast<BYTE*>(::GlobalLock(h));
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biClrUsed = clrUsed;
    std::memcpy(bytes, &header, sizeof header);
    auto* table = reinterpret_cast<RGBQUAD*>(bytes + sizeof header);
    for (DWORD i = 0; i < tableEntries && i < colors.size(); ++i) {
        table[i].rgbRed = static_cast<BYTE>(colors[i] >> 16);
        table[i].rgbGreen = static_cast<BYTE>(colors[i] >> 8);
        table[i].rgbBlue = static_cast<BYTE>(colors[i]);
    }
    std::memcpy(bytes + sizeof header + tableEntries * 4, rows.data(),
                std::min<size_t>(rows.size(), static_cast<size_t>(stride) * height));
    ::GlobalUnlock(h);
    return h;
}

std::vector<BYTE> BlockBytes(HGLOBAL hDib)
{
    const auto* p = static_cast<const BYTE*>(::GlobalLock(hDib));
    std::vector<BYTE> bytes(p, p + ::GlobalSize(hDib));
    ::GlobalUnlock(hDib);
    return bytes;
}

BITMAPINFOHEADER BlockHeader(HGLOBAL hDib)
{
    BITMAPINFOHEADER header;
    std::memcpy(&header, ::GlobalLock(hDib), sizeof header);
    ::GlobalUnlock(hDib);
    return header;
}

namespace {
DWORD BigEndian(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) << 24 | static_cast<DWORD>(p[1]) << 16 | static_cast<DWORD>(p[2]) << 8 | p[3];
}
}  // namespace

std::vector<std::string> PngChunks(const std::vector<BYTE>& file)
{
    static const BYTE signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::string> chunks;
    if (file.size() < 8 || std::memcmp(file.data(), signature, 8) != 0)
        return chunks;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const size_t length = BigEndian(&file[at]);
        if (length > file.size() - at - 12)
            return {};
        chunks.emplace_back(reinterpret_cast<const char*>(&file[at + 4]), 4);
        at += 12 + length;
    }
    if (at != file.size())
        return {};
    return chunks;
}

bool ReadPngHeader(const std::vector<BYTE>& file, CPngHeader& header)
{
    if (file.size() < 33 || std::memcmp(&file[12], "IHDR", 4) != 0 || BigEndian(&file[8]) != 13)
        return false;
    header.width = BigEndian(&file[16]);
    header.height = BigEndian(&file[20]);
    header.bitDepth = file[24];
    header.colorType = file[25];
    header.compression = file[26];
    header.filter = file[27];
    header.interlace = file[28];
    return true;
}

}  // namespace image_testing
