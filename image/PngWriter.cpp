#include "image/PngWriter.h"

#include "framework/FileException.h"
#include "framework/Handles.h"
#include "framework/Unicode.h"
#include "image/DibImage.h"

#include <fcntl.h>
#include <io.h>
#include <png.h>

#include <cerrno>
#include <cstddef>
#include <memory>

namespace {
// libpng's own error handling then ends in the jump buffer; warnings are dropped.
void PNGCBAPI OnPngError(png_structp, png_const_charp) {}
void PNGCBAPI OnPngWarning(png_structp, png_const_charp) {}

// The libpng calls between the structures' creation and their destruction. An error inside
// libpng jumps back to the setjmp below, so nothing with a destructor may live in this
// function: the callers own the structures, the rows and whatever lock they need. Rows in
// blue-green-red order are put in the file's order by libpng, a row at a time; without
// blueFirst they are in that order already (the 24-bit image's, swapped in place).
BOOL EncodePng(png_structp png, png_infop info, FILE* stream, CPngRows& rows, bool blueFirst)
{
    if (setjmp(png_jmpbuf(png)))
        return FALSE;
    png_init_io(png, stream);
    png_set_IHDR(png, info, static_cast<png_uint_32>(rows.GetWidth()), static_cast<png_uint_32>(rows.GetHeight()),
                 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // The transformations of writing are set once the header is out: libpng checks them
    // against it.
    if (blueFirst)
        png_set_bgr(png);
    if (rows.GetBytesPerPixel() == 4)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < rows.GetHeight(); ++y) {
        const BYTE* row = rows.Row(y);
        if (!row)
            return FALSE;
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return TRUE;
}

// Creates the structures, encodes, destroys them.
BOOL Encode(FILE* stream, CPngRows& rows, bool blueFirst)
{
    // The version of the libpng this program is built with: the library refuses any other
    // minor series.
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!png)
        return FALSE;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return FALSE;
    }
    const BOOL written = EncodePng(png, info, stream, rows, blueFirst);
    png_destroy_write_struct(&png, &info);
    return written;
}

// The rows of a locked 24-bit image, turned to red-green-blue in place when the first is asked
// for: this writer has always left the image so.
class CSwappedDibRows final : public CPngRows
{
public:
    CSwappedDibRows(CDibImage& image, const BYTE* topRow)
        : CPngRows(image.GetWidth(), image.GetHeight(), 3), m_image(image), m_topRow(topRow)
    {
    }
    const BYTE* Row(int y) override
    {
        if (y == 0)
            m_image.SwapRedBlue();
        return m_topRow - static_cast<ptrdiff_t>(y) * m_image.GetStride();
    }

private:
    CDibImage& m_image;
    const BYTE* m_topRow;
};

struct CFileCloser {
    void operator()(FILE* stream) const { std::fclose(stream); }
};
}  // namespace

BOOL WritePng(FILE* stream, CDibImage& image)
{
    if (!stream || !image.GetHandle() || image.GetBitCount() != 24)
        return FALSE;
    CGlobalLock<BITMAPINFOHEADER> dib(image.GetHandle());
    if (!dib || !DibFitsBlock(dib.Get(), ::GlobalSize(image.GetHandle())))
        return FALSE;
    const BYTE* topRow = DibBits(dib.Get()) + static_cast<ptrdiff_t>(image.GetHeight() - 1) * image.GetStride();
    CSwappedDibRows rows(image, topRow);
    return Encode(stream, rows, false);
}

BOOL WritePng(FILE* stream, CPngRows& rows)
{
    if (!stream || rows.GetWidth() <= 0 || rows.GetHeight() <= 0 ||
        (rows.GetBytesPerPixel() != 3 && rows.GetBytesPerPixel() != 4))
        return FALSE;
    return Encode(stream, rows, true);
}

namespace {
// A stream over a file created here, so that a file that cannot be created is known by the
// system's own error code (the C runtime's fopen keeps only a coarse errno). Null, with the
// error code set, on failure.
FILE* CreateStream(LPCSTR path, DWORD& osError)
{
    // As for bitmap files: others may read the file while it is written, not write it. The
    // name is UTF-8, created in the wide form: a name in any script is made as it is.
    CFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        osError = ::GetLastError();
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file.Get()), _O_BINARY | _O_WRONLY);
    if (fd == -1) {
        osError = ERROR_TOO_MANY_OPEN_FILES;
        return nullptr;
    }
    file.Detach();  // the descriptor owns the handle now
    FILE* stream = _fdopen(fd, "wb");
    if (!stream) {
        osError = ERROR_TOO_MANY_OPEN_FILES;
        _close(fd);
    }
    return stream;
}

// Creates the file, has `write` fill the stream and closes it.
template <typename Write>
Outcome SaveThrough(LPCSTR path, Write write)
{
    DWORD osError = 0;
    std::unique_ptr<FILE, CFileCloser> stream(CreateStream(path, osError));
    if (!stream)
        return Outcome::FileFailure(CFileException(CFileException::OsErrorToCause(osError), osError, path));
    errno = 0;
    const BOOL written = write(stream.get());
    // What is still buffered goes out here, so a full disk may show only now. Flushed before
    // closing: not every C runtime reports a failed flush from fclose.
    const bool flushed = std::fflush(stream.get()) == 0 && !std::ferror(stream.get());
    const int streamErrno = errno;
    const bool closed = std::fclose(stream.release()) == 0;
    if (written && flushed && closed)
        return Outcome();
    // A stream that failed says why in errno; an image the encoder refused has no cause of its own.
    const int cause = (flushed && closed) ? 0 : (streamErrno ? streamErrno : errno);
    return Outcome::FileFailure(CFileException(CFileException::ErrnoToCause(cause), 0, path));
}
}  // namespace

Outcome SavePng(LPCSTR path, CDibImage& image)
{
    return SaveThrough(path, [&image](FILE* stream) { return WritePng(stream, image); });
}

Outcome SavePng(LPCSTR path, CPngRows& rows)
{
    return SaveThrough(path, [&rows](FILE* stream) { return WritePng(stream, rows); });
}
