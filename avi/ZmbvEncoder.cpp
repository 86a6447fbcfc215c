#include "avi/ZmbvEncoder.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
const int kBlock = 16;
// Vectors stay inside (-16, 16), the range the format's description promises decoders.
const int kMaxShift = 15;
// A key frame begins: the key flag, version 0.1, zlib, 32 bits a pixel, blocks of 16 x 16.
const BYTE kKeyHeader[] = {1, 0, 1, 1, 8, kBlock, kBlock};
// A delta frame begins with its flags alone: none.
const DWORD kDeltaHeaderBytes = 1;
// zlib's levels. A key frame, rare but most of a still screen's file, and a frame where little
// changed take zlib's default (a key frame a fifth smaller than at the fastest level, for twice
// its time); a frame where much changed, which may come every frame, the fastest, so that it
// codes within about an interval of 20 frames a second.
const int kSmallLevel = Z_DEFAULT_COMPRESSION;
const int kLargeLevel = Z_BEST_SPEED;
const size_t kLargeDelta = 512 * 1024;  // bytes of block info and XORed blocks

// Whether the pixels are the same; no early exit, so that the compiler can use wide registers.
bool Same(const uint32_t* a, const uint32_t* b, int count)
{
    uint32_t differs = 0;
    for (int i = 0; i < count; ++i)
        differs |= a[i] ^ b[i];
    return differs == 0;
}

uint32_t RowHash(const uint32_t* pixels, int count)
{
    uint32_t hash = 2166136261u;
    for (int i = 0; i < count; ++i)
        hash = (hash ^ pixels[i]) * 16777619u;
    return hash;
}
}  // namespace

CZmbvEncoder::CZmbvEncoder(int width, int height, int keyInterval, bool searchVertical)
    : m_nWidth(width), m_nHeight(height), m_nKeyInterval(std::max(keyInterval, 1)), m_bSearch(searchVertical),
      m_nBlocksX((width + kBlock - 1) / kBlock), m_nBlocksY((height + kBlock - 1) / kBlock),
      m_nInfoBytes((static_cast<size_t>(m_nBlocksX) * m_nBlocksY * 2 + 3) & ~size_t(3))
{
    if (width <= 0 || height <= 0)
        return;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t payloadBytes = m_nInfoBytes + pixels * 4;
    m_pPrevious.reset(new (std::nothrow) uint32_t[pixels]);
    m_pPayload.reset(new (std::nothrow) uint32_t[payloadBytes / 4]);
    m_pChanged.reset(new (std::nothrow) BYTE[m_nBlocksX]);
    if (m_bSearch) {
        m_pPreviousHashes.reset(new (std::nothrow) uint32_t[static_cast<size_t>(height) * m_nBlocksX]);
        m_pHashes.reset(new (std::nothrow) uint32_t[static_cast<size_t>(height) * m_nBlocksX]);
        if (!m_pPreviousHashes || !m_pHashes)
            return;
    }
    if (!m_pPrevious || !m_pPayload || !m_pChanged || deflateInit(&m_zip, kSmallLevel) != Z_OK)
        return;
    // Each frame is flushed whole, so that one frame's bytes never wait for the next's.
    m_nOutputCapacity = sizeof kKeyHeader + deflateBound(&m_zip, static_cast<uLong>(payloadBytes)) + 64;
    m_pOutput.reset(new (std::nothrow) BYTE[m_nOutputCapacity]);
    if (!m_pOutput) {
        deflateEnd(&m_zip);
        return;
    }
    m_bZipOpen = true;
    m_format.biSize = sizeof m_format;
    m_format.biWidth = width;
    m_format.biHeight = height;
    m_format.biPlanes = 1;
    m_format.biBitCount = 32;
    m_format.biCompression = kZmbvCompression;
    m_format.biSizeImage = static_cast<DWORD>(m_nOutputCapacity);
}

CZmbvEncoder::~CZmbvEncoder()
{
    if (m_bZipOpen)
        deflateEnd(&m_zip);
}

const uint32_t* CZmbvEncoder::SourceRow(const BYTE* bits, int y) const
{
    // The format's rows go top down; the DIB's bottom up.
    return reinterpret_cast<const uint32_t*>(bits) + static_cast<size_t>(m_nHeight - 1 - y) * m_nWidth;
}

bool CZmbvEncoder::Encode(const BYTE* bits)
{
    if (!m_bZipOpen)
        return false;
    m_bKey = m_nSinceKey == 0 || m_nSinceKey >= m_nKeyInterval;
    if (!(m_bKey ? EncodeKey(bits) : EncodeDelta(bits))) {
        // The stream is in no known state: it starts again with a key frame.
        m_nSinceKey = 0;
        m_nSize = 0;
        return false;
    }
    m_nSinceKey = m_bKey ? 1 : m_nSinceKey + 1;
    return true;
}

bool CZmbvEncoder::Deflate(const BYTE* data, size_t size, DWORD headerBytes)
{
    m_zip.next_in = nullptr;
    m_zip.avail_in = 0;
    m_zip.next_out = m_pOutput.get() + headerBytes;
    m_zip.avail_out = static_cast<uInt>(m_nOutputCapacity - headerBytes);
    // Changed with no input pending: the frame before was flushed whole, so nothing is left to
    // compress at the old level.
    const int level = !m_bKey && size > kLargeDelta ? kLargeLevel : kSmallLevel;
    if (level != m_nLevel && deflateParams(&m_zip, level, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    m_nLevel = level;
    m_zip.next_in = const_cast<Bytef*>(data);
    m_zip.avail_in = static_cast<uInt>(size);
    // Some room left over proves that the flush is complete.
    if (deflate(&m_zip, Z_SYNC_FLUSH) != Z_OK || m_zip.avail_in != 0 || m_zip.avail_out == 0)
        return false;
    m_nSize = static_cast<DWORD>(m_nOutputCapacity - m_zip.avail_out);
    return true;
}

bool CZmbvEncoder::EncodeKey(const BYTE* bits)
{
    uint32_t* previous = m_pPrevious.get();
    for (int y = 0; y < m_nHeight; ++y) {
        uint32_t* row = previous + static_cast<size_t>(y) * m_nWidth;
        std::memcpy(row, SourceRow(bits, y), static_cast<size_t>(m_nWidth) * 4);
        for (int bx = 0; m_bSearch && bx < m_nBlocksX; ++bx)
            m_pPreviousHashes[static_cast<size_t>(y) * m_nBlocksX + bx] =
                RowHash(row + bx * kBlock, std::min(kBlock, m_nWidth - bx * kBlock));
    }
    std::memcpy(m_pOutput.get(), kKeyHeader, sizeof kKeyHeader);
    // Decoders start their zlib stream afresh at every key frame.
    if (deflateReset(&m_zip) != Z_OK)
        return false;
    return Deflate(reinterpret_cast<const BYTE*>(previous), static_cast<size_t>(m_nWidth) * m_nHeight * 4,
                   sizeof kKeyHeader);
}

int CZmbvEncoder::FindVerticalShift(int bx, int y, int height) const
{
    const uint32_t* now = m_pHashes.get() + bx;
    const uint32_t* before = m_pPreviousHashes.get() + bx;
    const auto matches = [&](int dy) {
        int count = 0;
        for (int r = 0; r < height; ++r)
            count += now[static_cast<size_t>(y + r) * m_nBlocksX] == before[static_cast<size_t>(y + dy + r) * m_nBlocksX];
        return count;
    };
    int best = 0, bestCount = matches(0);
    // The nearest shift wins a tie; one that matches every row ends the search.
    for (int distance = 1; distance <= kMaxShift && bestCount < height; ++distance) {
        for (const int dy : {-distance, distance}) {
            if (y + dy < 0 || y + dy + height > m_nHeight)
                continue;
            const int count = matches(dy);
            if (count > bestCount) {
                best = dy;
                bestCount = count;
            }
        }
    }
    return best;
}

bool CZmbvEncoder::EncodeDelta(const BYTE* bits)
{
    BYTE* const info = reinterpret_cast<BYTE*>(m_pPayload.get());
    uint32_t* blocks = m_pPayload.get() + m_nInfoBytes / 4;
    const uint32_t* previous = m_pPrevious.get();
    std::memset(info, 0, m_nInfoBytes);
    BYTE* const changed = m_pChanged.get();
    for (int by = 0; by < m_nBlocksY; ++by) {
        const int y = by * kBlock, height = std::min(kBlock, m_nHeight - y);
        // Which blocks of this row of blocks changed: whole rows first, as most of a screen stays.
        std::memset(changed, 0, static_cast<size_t>(m_nBlocksX));
        for (int r = 0; r < height; ++r) {
            const uint32_t* now = SourceRow(bits, y + r);
            const uint32_t* before = previous + static_cast<size_t>(y + r) * m_nWidth;
            if (Same(now, before, m_nWidth))
                continue;
            for (int bx = 0, x = 0; bx < m_nBlocksX; ++bx, x += kBlock)
                changed[bx] = changed[bx] || !Same(now + x, before + x, std::min(kBlock, m_nWidth - x));
        }
        for (int bx = 0; bx < m_nBlocksX; ++bx) {
            if (!changed[bx])
                continue;  // the zero vector and no XOR, as the info was cleared
            const int x = bx * kBlock, width = std::min(kBlock, m_nWidth - x);
            int dy = 0;
            if (m_bSearch) {
                for (int r = 0; r < height; ++r)
                    m_pHashes[static_cast<size_t>(y + r) * m_nBlocksX + bx] = RowHash(SourceRow(bits, y + r) + x, width);
                dy = FindVerticalShift(bx, y, height);
            }
            uint32_t differs = 0;
            uint32_t* out = blocks;
            for (int r = 0; r < height; ++r) {
                const uint32_t* now = SourceRow(bits, y + r) + x;
                const uint32_t* before = previous + static_cast<size_t>(y + dy + r) * m_nWidth + x;
                for (int c = 0; c < width; ++c) {
                    *out = now[c] ^ before[c];
                    differs |= *out++;
                }
            }
            // The block's info: the horizontal shift (none) with the flag "XOR follows", then
            // the vertical shift, each doubled.
            BYTE* entry = info + 2 * (static_cast<size_t>(by) * m_nBlocksX + bx);
            entry[0] = differs ? 1 : 0;
            entry[1] = static_cast<BYTE>(dy * 2);
            if (differs)
                blocks = out;
        }
    }
    m_pOutput[0] = 0;
    const size_t payloadBytes = reinterpret_cast<BYTE*>(blocks) - info;
    if (!Deflate(info, payloadBytes, kDeltaHeaderBytes))
        return false;
    // Only now the frame becomes the one before: every block was coded against the old one.
    uint32_t* const keep = m_pPrevious.get();
    for (int by = 0; by < m_nBlocksY; ++by) {
        const int y = by * kBlock, height = std::min(kBlock, m_nHeight - y);
        for (int bx = 0; bx < m_nBlocksX; ++bx) {
            const BYTE* entry = info + 2 * (static_cast<size_t>(by) * m_nBlocksX + bx);
            if (!entry[0] && !entry[1])
                continue;
            const int x = bx * kBlock, width = std::min(kBlock, m_nWidth - x);
            for (int r = 0; r < height; ++r) {
                const size_t at = static_cast<size_t>(y + r) * m_nWidth + x;
                std::memcpy(keep + at, SourceRow(bits, y + r) + x, static_cast<size_t>(width) * 4);
                if (m_bSearch)
                    m_pPreviousHashes[static_cast<size_t>(y + r) * m_nBlocksX + bx] =
                        m_pHashes[static_cast<size_t>(y + r) * m_nBlocksX + bx];
            }
        }
    }
    return true;
}
