#include "image/PngWriter.h"

#include "framework/Handles.h"
#include "image/DibImage.h"

#include <png.h>

#include <cstddef>
#include <memory>

namespace {
// libpng's own error handling then ends in the jump buffer; warnings are dropped.
void PNGCBAPI OnPngError(png_structp, png_const_charp) {}
void PNGCBAPI OnPngWarning(png_structp, png_const_charp) {}

// The libpng calls between the structures' creation and their destruction. An error inside
// libpng jumps back to the setjmp below, so nothing with a destructor may live in this
// function: the callers own the structures and the block's lock.
BOOL EncodePng(png_structp png, png_infop info, FILE* stream, CDibImage& image, const BYTE* topRow)
{
    if (setjmp(png_jmpbuf(png)))
        return FALSE;
    png_init_io(png, stream);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.GetWidth()), static_cast<png_uint_32>(image.GetHeight()),
                 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    image.SwapRedBlue();
    const ptrdiff_t stride = image.GetStride();
    const BYTE* row = topRow;
    for (int y = 0; y < image.GetHeight(); ++y, row -= stride)
        png_write_row(png, row);
    png_write_end(png, info);
    return TRUE;
}

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
    const BOOL written = EncodePng(png, info, stream, image, topRow);
    png_destroy_write_struct(&png, &info);
    return written;
}

BOOL SavePng(LPCSTR path, CDibImage& image)
{
    std::unique_ptr<FILE, CFileCloser> stream(std::fopen(path, "wb"));
    if (!stream)
        return FALSE;
    const BOOL written = WritePng(stream.get(), image);
    // What is still buffered goes out here, so a full disk may show only now. Flushed before
    // closing: not every C runtime reports a failed flush from fclose.
    const bool flushed = std::fflush(stream.get()) == 0 && !std::ferror(stream.get());
    const bool closed = std::fclose(stream.release()) == 0;
    return written && flushed && closed;
}
