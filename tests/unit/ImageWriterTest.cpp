// The BMP and PNG writers and the file exception: header fields, the extension rule, refusals,
// the error texts, and the rows of the PNG as libpng reads them back.
#include "ImageTestSupport.h"
#include "framework/File.h"
#include "framework/FileException.h"
#include "image/BmpWriter.h"
#include "image/DibImage.h"
#include "image/PngWriter.h"
#include "support/Files.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

using namespace image_testing;
using namespace testing_support;

namespace {
template <typename T>
T At(const std::vector<BYTE>& bytes, size_t offset)
{
    T value;
    std::memcpy(&value, &bytes.at(offset + sizeof(T) - 1) - (sizeof(T) - 1), sizeof value);
    return value;
}

// The picture of a PNG file as libpng reads it: rows top first, red-green-blue.
std::vector<BYTE> DecodePng(const std::string& path, png_uint_32& width, png_uint_32& height)
{
    // Read through the wide forms, so that a name in any script is found.
    const std::vector<BYTE> file = ReadBytes(path);
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (file.empty() || !png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<BYTE> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        return {};
    width = image.width;
    height = image.height;
    return rgb;
}
}  // namespace

TEST(BmpWriter, TwentyFourBitFileIsHeaderThenTheBlockWithTheImageSizeFilledIn)
{
    // 3 x 2: stride 12, rows bottom-up as in the block.
    std::vector<BYTE> rows(24);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<BYTE>(i + 1);
    CDibImage image;
    ASSERT_TRUE(image.Attach(MakeDib(3, 2, 24, 0, {}, rows)));
    ASSERT_EQ(BlockHeader(image.GetHandle()).biSizeImage, 0u);
    const std::string path = CScratch::Windows("three-by-two.bmp");
    ASSERT_TRUE(image.Save(path.c_str()).IsDone());

    const std::vector<BYTE> file = ReadBytes(path);
    ASSERT_EQ(file.size(), 78u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(At<DWORD>(file, 2), 78u);
    EXPECT_EQ(At<WORD>(file, 6), 0);
    EXPECT_EQ(At<WORD>(file, 8), 0);
    EXPECT_EQ(At<DWORD>(file, 10), 54u);
    EXPECT_EQ(At<DWORD>(file, 14), 40u);
    EXPECT_EQ(At<DWORD>(file, 14 + 20), 24u);  // biSizeImage
    EXPECT_EQ(std::vector<BYTE>(file.begin() + 54, file.end()), rows);
    // The image in memory carries the computed size too.
    EXPECT_EQ(BlockHeader(image.GetHandle()).biSizeImage, 24u);
}

TEST(BmpWriter, IndexedFileCarriesItsColourTable)
{
    CDibImage image;
    ASSERT_TRUE(image.Attach(MakeDib(10, 1, 1, 0, {0x000000, 0xFFFFFF}, {0xA0, 0x40, 0, 0})));
    const std::string path = CScratch::Windows("ten-by-one.dib");
    ASSERT_TRUE(image.Save(path.c_str()).IsDone());
    const std::vector<BYTE> file = ReadBytes(path);
    ASSERT_EQ(file.size(), 66u);
    EXPECT_EQ(At<DWORD>(file, 2), 66u);
    EXPECT_EQ(At<DWORD>(file, 10), 62u);
    EXPECT_EQ(At<DWORD>(file, 14 + 20), 4u);
    EXPECT_EQ(At<DWORD>(file, 58), 0x00FFFFFFu);  // second table entry: white
    EXPECT_EQ(file[62], 0xA0);
    EXPECT_EQ(file[63], 0x40);
}

TEST(BmpWriter, RunLengthSizesComeFromTheHeaderAndStayUntouched)
{
    BITMAPINFOHEADER header = {};
    header.biSize = 40;
    header.biWidth = 100;
    header.biHeight = 100;
    header.biBitCount = 8;
    header.biCompression = BI_RLE8;
    header.biSizeImage = 10;
    const CBmpLayout layout = BmpLayout(header);
    EXPECT_EQ(layout.imageSize, 10u);
    EXPECT_EQ(layout.dibSize, 40u + 1024 + 10);
    EXPECT_EQ(layout.fileHeader.bfSize, 14u + 40 + 1024 + 10);
    EXPECT_EQ(layout.fileHeader.bfOffBits, 14u + 40 + 1024);
}

TEST(BmpWriter, OnlyBmpAndDibExtensionsInAnyCaseAreBitmapFiles)
{
    for (const char* name : {"a.bmp", "C:\\shots\\A.BMP", "x.DIB", "dir.png\\x.Dib", "x.y.bmp"})
        EXPECT_TRUE(IsBitmapFileName(name)) << name;
    for (const char* name : {"x.bmp.txt", "x", "x.png", "dir.bmp\\x", "x.bmpx", "x.bm", ""})
        EXPECT_FALSE(IsBitmapFileName(name)) << name;
    EXPECT_FALSE(IsBitmapFileName(std::string(400, 'a').append(".bmp").c_str()));

    // A refused name creates nothing; neither does an empty image.
    CDibImage image;
    const std::string empty = CScratch::Windows("empty.bmp");
    EXPECT_FALSE(image.Save(empty.c_str()).IsDone());
    EXPECT_FALSE(FileExists(empty));
    ASSERT_TRUE(image.Attach(MakeDib(2, 2, 24)));
    for (const char* name : {"shot.bmp.txt", "shot"}) {
        EXPECT_FALSE(image.Save(CScratch::Windows(name).c_str()).IsDone()) << name;
        EXPECT_FALSE(FileExists(CScratch::Windows(name))) << name;
    }
    EXPECT_TRUE(image.Save(CScratch::Windows("SHOT.DIB").c_str()).IsDone());
    EXPECT_EQ(ReadBytes(CScratch::Windows("SHOT.DIB")).size(), 54u + 16);
}

TEST(BmpWriter, WriteDibRefusesBlocksItCannotWriteWholeWithoutWritingAnything)
{
    const std::string path = CScratch::Windows("refused.bmp");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS));
    EXPECT_FALSE(WriteDib(nullptr, file).IsDone());

    // A 12-byte core header.
    CGlobalMemory core(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 12 + 6 + 4));
    {
        CGlobalLock<BITMAPCOREHEADER> header(core);
        header->bcSize = 12;
        header->bcWidth = 1;
        header->bcHeight = 1;
        header->bcPlanes = 1;
        header->bcBitCount = 1;
    }
    EXPECT_FALSE(WriteDib(core, file).IsDone());

    // A header announcing more rows than the block holds.
    CGlobalMemory shortBlock(MakeDib(4, 4, 24));
    {
        CGlobalLock<BITMAPINFOHEADER> header(shortBlock);
        header->biHeight = 1000;
    }
    EXPECT_FALSE(WriteDib(shortBlock, file).IsDone());
    file.Close();
    EXPECT_EQ(ReadBytes(path).size(), 0u);
}

TEST(FileException, CausesFromSystemErrorCodes)
{
    const struct {
        DWORD code;
        CFileException::Cause cause;
    } cases[] = {
        {ERROR_ACCESS_DENIED, CFileException::accessDenied},
        {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
        {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
        {ERROR_HANDLE_EOF, CFileException::endOfFile},
        {ERROR_HANDLE_DISK_FULL, CFileException::diskFull},
        {ERROR_DISK_FULL, CFileException::diskFull},
        {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
        {ERROR_INVALID_HANDLE, CFileException::invalidFile},
        {ERROR_SUCCESS, CFileException::generic},
        {ERROR_NOT_ENOUGH_MEMORY, CFileException::generic},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CFileException::OsErrorToCause(c.code), c.cause) << "error " << c.code;
}

TEST(FileException, TextIsTheCausesTextWithThePath)
{
    const std::string path = "C:\\shots\\Pixlet 100%.bmp";
    const struct {
        CFileException::Cause cause;
        const char* text;
    } cases[] = {
        {CFileException::generic, "An unknown error occurred while accessing C:\\shots\\Pixlet 100%.bmp."},
        {CFileException::fileNotFound, "C:\\shots\\Pixlet 100%.bmp was not found."},
        {CFileException::badPath, "C:\\shots\\Pixlet 100%.bmp contains an invalid path."},
        {CFileException::tooManyOpenFiles,
         "C:\\shots\\Pixlet 100%.bmp could not be opened because there are too many open files."},
        {CFileException::accessDenied, "Access to C:\\shots\\Pixlet 100%.bmp was denied."},
        {CFileException::invalidFile, "An invalid file handle was associated with C:\\shots\\Pixlet 100%.bmp."},
        {CFileException::directoryFull,
         "C:\\shots\\Pixlet 100%.bmp could not be created because the directory is full."},
        {CFileException::badSeek, "Seek failed on C:\\shots\\Pixlet 100%.bmp"},
        {CFileException::hardIO, "A hardware I/O error was reported while accessing C:\\shots\\Pixlet 100%.bmp."},
        {CFileException::sharingViolation, "A sharing violation occurred while accessing C:\\shots\\Pixlet 100%.bmp."},
        {CFileException::lockViolation, "A locking violation occurred while accessing C:\\shots\\Pixlet 100%.bmp."},
        {CFileException::diskFull, "Disk full while accessing C:\\shots\\Pixlet 100%.bmp."},
        {CFileException::endOfFile, "An attempt was made to access C:\\shots\\Pixlet 100%.bmp past its end."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CFileException(c.cause, 0, path).GetErrorMessage(), c.text);
}

TEST(FileException, FailedAndShortWritesCarryTheirCause)
{
    EXPECT_TRUE(WriteOutcome(TRUE, ERROR_SUCCESS, 100, 100, "a.bmp").IsDone());
    const Outcome refused = WriteOutcome(FALSE, ERROR_SHARING_VIOLATION, 100, 0, "a.bmp");
    EXPECT_EQ(refused.kind, Outcome::Kind::FileFailed);
    EXPECT_EQ(refused.file.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(refused.file.m_dwOsError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(refused.file.m_strFileName, "a.bmp");
    const Outcome shortWrite = WriteOutcome(TRUE, ERROR_SUCCESS, 100, 60, "b.bmp");
    EXPECT_EQ(shortWrite.file.m_cause, CFileException::diskFull);
    EXPECT_EQ(shortWrite.file.GetErrorMessage(), "Disk full while accessing b.bmp.");
}

TEST(PngWriter, OnePixelGivesTruecolourHeaderAndARedGreenBlueRow)
{
    CDibImage image;
    ASSERT_TRUE(image.Attach(MakeDib(1, 1, 24, 0, {}, {0x10, 0x20, 0x30, 0})));
    const std::string path = CScratch::Windows("one.png");
    ASSERT_TRUE(SavePng(path.c_str(), image).IsDone());

    const std::vector<BYTE> file = ReadBytes(path);
    EXPECT_EQ(PngChunks(file), (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    CPngHeader header = {};
    ASSERT_TRUE(ReadPngHeader(file, header));
    EXPECT_EQ(header.width, 1u);
    EXPECT_EQ(header.height, 1u);
    EXPECT_EQ(header.bitDepth, 8);
    EXPECT_EQ(header.colorType, 2);
    EXPECT_EQ(header.compression, 0);
    EXPECT_EQ(header.filter, 0);
    EXPECT_EQ(header.interlace, 0);
    png_uint_32 width = 0, height = 0;
    EXPECT_EQ(DecodePng(path, width, height), (std::vector<BYTE>{0x30, 0x20, 0x10}));
    // The image is left in red-green-blue order.
    CGlobalLock<BITMAPINFOHEADER> dib(image.GetHandle());
    EXPECT_EQ(DibBits(dib.Get())[0], 0x30);
    EXPECT_EQ(DibBits(dib.Get())[2], 0x10);
}

TEST(PngWriter, RowsGoTopFirstWithoutTheirPadding)
{
    // 5 x 2: stride 16, one padding byte per row (0xEE) that must not show.
    std::vector<BYTE> rows;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 5; ++x) {
            rows.push_back(static_cast<BYTE>(y * 100 + x * 10 + 1));  // blue
            rows.push_back(static_cast<BYTE>(y * 100 + x * 10 + 2));  // green
            rows.push_back(static_cast<BYTE>(y * 100 + x * 10 + 3));  // red
        }
        rows.push_back(0xEE);
    }
    CDibImage image;
    ASSERT_TRUE(image.Attach(MakeDib(5, 2, 24, 0, {}, rows)));
    const std::string path = CScratch::Windows("five.png");
    ASSERT_TRUE(SavePng(path.c_str(), image).IsDone());
    png_uint_32 width = 0, height = 0;
    const std::vector<BYTE> rgb = DecodePng(path, width, height);
    ASSERT_EQ(rgb.size(), 30u);
    EXPECT_EQ(width, 5u);
    EXPECT_EQ(height, 2u);
    for (int y = 0; y < 2; ++y) {
        const int memoryRow = 1 - y;  // the top row is the last in the block
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(rgb[15 * y + 3 * x + 0], memoryRow * 100 + x * 10 + 3);
            EXPECT_EQ(rgb[15 * y + 3 * x + 1], memoryRow * 100 + x * 10 + 2);
            EXPECT_EQ(rgb[15 * y + 3 * x + 2], memoryRow * 100 + x * 10 + 1);
        }
    }
}

TEST(PngWriter, ImagesWithoutTwentyFourBitPixelsAreRefusedBeforeAnyByte)
{
    const std::string path = CScratch::Windows("refused.png");
    FILE* stream = std::fopen(path.c_str(), "wb");
    ASSERT_NE(stream, nullptr);
    CDibImage image;
    EXPECT_FALSE(WritePng(stream, image));
    ASSERT_TRUE(image.Attach(MakeDib(2, 2, 8, 0, {}, {1, 2, 0, 0, 3, 4, 0, 0})));
    const std::vector<BYTE> before = BlockBytes(image.GetHandle());
    EXPECT_FALSE(WritePng(stream, image));
    EXPECT_EQ(BlockBytes(image.GetHandle()), before);
    EXPECT_EQ(std::ftell(stream), 0);
    std::fclose(stream);

    // SavePng has created (or emptied) the file by then, and says it could not write it.
    ASSERT_TRUE(WriteBytes(path, {1, 2, 3}));
    EXPECT_FALSE(SavePng(path.c_str(), image).IsDone());
    EXPECT_EQ(ReadBytes(path).size(), 0u);
    EXPECT_FALSE(SavePng(CScratch::Windows("no-such-dir\\x.png").c_str(), image).IsDone());
}

TEST(PngWriter, RowsOfAnotherPixelSizeAreRefusedAndAMissingRowFailsTheFile)
{
    // Two rows of two pixels, of which only the first can be had.
    struct CFirstRowOnly final : CPngRows {
        explicit CFirstRowOnly(int bytesPerPixel) : CPngRows(2, 2, bytesPerPixel) {}
        const BYTE* Row(int y) override { return y == 0 ? m_row : nullptr; }
        BYTE m_row[8] = {};
    };
    CFirstRowOnly two(2), four(4);
    const std::string path = CScratch::Windows("rows-refused.png");
    FILE* stream = std::fopen(path.c_str(), "wb");
    ASSERT_NE(stream, nullptr);
    EXPECT_FALSE(WritePng(stream, two));
    EXPECT_EQ(std::ftell(stream), 0);
    std::fclose(stream);
    const Outcome saved = SavePng(path.c_str(), four);
    ASSERT_EQ(saved.kind, Outcome::Kind::FileFailed);
    EXPECT_EQ(saved.file.m_cause, CFileException::generic);
}

TEST(ImageWriters, WriteNamesInAnyScriptAsTheyAre)
{
    const std::string folder = "снимки-日本/", name = "截图";
    ASSERT_TRUE(::CreateDirectoryW(Wide(CScratch::Windows(folder)).c_str(), nullptr));
    CDibImage image;
    ASSERT_TRUE(image.Attach(MakeDib(1, 1, 24, 0, {}, {0x10, 0x20, 0x30, 0})));
    const std::string bmp = CScratch::Windows(folder + name + ".bmp"), png = CScratch::Windows(folder + name + ".png");
    // The bitmap first: writing the PNG leaves the image in red-green-blue order.
    EXPECT_TRUE(image.Save(bmp.c_str()).IsDone());
    EXPECT_TRUE(SavePng(png.c_str(), image).IsDone());
    EXPECT_EQ(ReadBytes(bmp).size(), 54u + 4);
    png_uint_32 width = 0, height = 0;
    EXPECT_EQ(DecodePng(png, width, height), (std::vector<BYTE>{0x30, 0x20, 0x10}));
    // On the host the names are these characters, not what a code page made of them.
    EXPECT_EQ(RunOnHost("cd '" + CScratch::Host(folder) + "' && test \"$(ls | sort | tr '\\n' ' ')\" = '" + name +
                        ".bmp " + name + ".png '"),
              0);
}
