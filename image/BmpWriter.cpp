#include "image/BmpWriter.h"

#include "framework/Paths.h"
#include "image/DibImage.h"


#include <cstring>

CBmpLayout BmpLayout(const BITMAPINFOHEADER& header)
{
    CBmpLayout layout = {};
    if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4) {
        layout.imageSize = header.biSizeImage;
    } else {
        // Negative sizes (a top-down header) come out as huge numbers and are refused by the
        // caller's check against the block.
        layout.imageSize = static_cast<unsigned long long>(static_cast<long long>(DibStride(header.biWidth, header.biBitCount)) *
                                                           header.biHeight);
    }
    const unsigned long long offBits = sizeof(BITMAPFILEHEADER) + header.biSize + DibColorTableSize(&header);
    layout.dibSize = header.biSize + DibColorTableSize(&header) + layout.imageSize;
    layout.fileHeader.bfType = 0x4D42;  // "BM"
    layout.fileHeader.bfSize = static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + layout.dibSize);
    layout.fileHeader.bfOffBits = static_cast<DWORD>(offBits);
    return layout;
}

Outcome WriteDib(HGLOBAL hDib, CFile& file)
{
    const Outcome refused = Outcome::FileFailure(CFileException(CFileException::generic, 0, file.GetFilePath()));
    if (!hDib)
        return refused;
    CGlobalLock<BITMAPINFOHEADER> dib(hDib);
    if (!dib || dib->biSize != sizeof(BITMAPINFOHEADER))
        return refused;
    const CBmpLayout layout = BmpLayout(*dib.Get());
    // Never write bytes from beyond the block, whatever its header claims.
    if (layout.dibSize > ::GlobalSize(hDib) || layout.dibSize > 0xFFFFFFFFull - sizeof(BITMAPFILEHEADER))
        return refused;
    if (dib->biCompression != BI_RLE8 && dib->biCompression != BI_RLE4)
        dib->biSizeImage = static_cast<DWORD>(layout.imageSize);

    const Outcome header = file.Write(&layout.fileHeader, sizeof layout.fileHeader);
    if (!header.IsDone())
        return header;
    return file.Write(dib.Get(), static_cast<DWORD>(layout.dibSize));
}

BOOL IsBitmapFileName(LPCSTR path)
{
    // Longer names cannot be opened anyway (counted as the system counts MAX_PATH).
    if (!path || SystemLength(path) >= MAX_PATH)
        return FALSE;
    // A UTF-8 name: the dot and the separators are single bytes that no other character holds.
    const std::string name(path);
    const size_t dot = name.find_last_of(".\\/");
    if (dot == std::string::npos || name[dot] != '.')
        return FALSE;
    const char* ext = name.c_str() + dot;
    return ::lstrcmpiA(ext, ".bmp") == 0 || ::lstrcmpiA(ext, ".dib") == 0;
}

Outcome CDibImage::Save(LPCSTR path)
{
    if (!m_hDib || !IsBitmapFileName(path))
        return Outcome::FileFailure(CFileException(CFileException::generic, 0, path));
    CFile file;
    // Others may read the file while it is written, not write it.
    if (!file.Open(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL)) {
        const DWORD error = ::GetLastError();
        return Outcome::FileFailure(CFileException(CFileException::OsErrorToCause(error), error, path));
    }
    return WriteDib(m_hDib, file);
}
