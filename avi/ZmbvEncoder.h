// Frames of a recording coded without loss as "Zip Motion Blocks Video" (ZMBV), which ffmpeg and
// the players built on it decode. A key frame holds the whole picture. Every other frame holds,
// for each block of 16 x 16 pixels (smaller at the right and bottom edges), where in the frame
// before its pixels come from (a vector) and, where that copy is not exact, the block XORed with
// it. All of it goes through one zlib stream that starts afresh at each key frame, so a still
// screen costs a few bytes a frame. 32 bits a pixel only: decoders refuse the 24-bit mode.
#pragma once

#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <memory>

const DWORD kZmbvCompression = mmioFOURCC('Z', 'M', 'B', 'V');

class CZmbvEncoder
{
public:
    // Every memory a recording needs is taken here, once. keyInterval: frames from one key frame
    // to the next (1: all key frames). searchVertical: a changed block is also looked for up to
    // 15 rows above and below, which costs a hash of every changed block (and of the whole
    // picture at a key frame) and makes a page scrolled a few rows a frame cost a few KB a frame
    // instead of a third of its size.
    CZmbvEncoder(int width, int height, int keyInterval, bool searchVertical);
    ~CZmbvEncoder();
    CZmbvEncoder(const CZmbvEncoder&) = delete;
    CZmbvEncoder& operator=(const CZmbvEncoder&) = delete;

    // Whether the memory and the zlib stream could be had.
    bool IsReady() const { return m_bZipOpen; }
    // The stream's format: the picture's size, 32 bits a pixel, the codec's name, and the most
    // bytes a coded frame can take.
    const BITMAPINFOHEADER& Format() const { return m_format; }
    // Codes a frame of the size given: rows of 32-bit pixels, bottom row first, as a DIB holds
    // them. False when zlib failed (the next frame is then a key frame).
    bool Encode(const BYTE* bits);
    // The next frame is a key frame whatever the interval (the first of a new file, say).
    void ForceKeyFrame() { m_nSinceKey = 0; }
    // The coded frame, valid until the next Encode.
    const BYTE* Data() const { return m_pOutput.get(); }
    DWORD Size() const { return m_nSize; }
    bool IsKeyFrame() const { return m_bKey; }

private:
    const uint32_t* SourceRow(const BYTE* bits, int y) const;
    bool EncodeKey(const BYTE* bits);
    bool EncodeDelta(const BYTE* bits);
    // The block's rows (top-down, from y) as the frame before held them, shifted by dy rows, that
    // match the frame's rows best; 0 where no shift beats staying.
    int FindVerticalShift(int bx, int y, int height) const;
    // Deflates the bytes after the frame's own header bytes; false when zlib failed.
    bool Deflate(const BYTE* data, size_t size, DWORD headerBytes);

    int m_nWidth, m_nHeight, m_nKeyInterval;
    bool m_bSearch;
    int m_nBlocksX, m_nBlocksY;
    size_t m_nInfoBytes;  // two bytes a block, padded to a multiple of four
    BITMAPINFOHEADER m_format = {};
    std::unique_ptr<uint32_t[]> m_pPrevious;  // the frame before, top row first
    std::unique_ptr<uint32_t[]> m_pPayload;   // a delta frame's block info and XORed blocks
    std::unique_ptr<BYTE[]> m_pChanged;       // of the blocks of one row of blocks
    std::unique_ptr<BYTE[]> m_pOutput;
    size_t m_nOutputCapacity = 0;
    // With the search: a hash of each row of each block of the frame before, and of the frame
    // being coded (its changed blocks only).
    std::unique_ptr<uint32_t[]> m_pPreviousHashes, m_pHashes;
    z_stream m_zip = {};
    bool m_bZipOpen = false;
    int m_nLevel = Z_DEFAULT_COMPRESSION;
    int m_nSinceKey = 0;  // frames coded since the last key frame, that one included
    DWORD m_nSize = 0;
    bool m_bKey = false;
};
