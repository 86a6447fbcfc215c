// Writing picture files where the system says no: a full device, a read-only file, a file that
// another handle holds without sharing. What the writers report, what stays in memory and what
// stays on disk.
#include "ImageTestSupport.h"
#include "framework/File.h"
#include "framework/FileException.h"
#include "image/BmpWriter.h"
#include "image/DibImage.h"
#include "image/PngWriter.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <random>

using namespace image_testing;
using namespace testing_support;

namespace {
UINT LockCount(HGLOBAL h)
{
    return ::GlobalFlags(h) & GMEM_LOCKCOUNT;
}

// A 24-bit picture of noise, which no compressor shrinks much.
HGLOBAL NoiseDib(int width, int height)
{
    std::mt19937 random(42);
    std::vector<BYTE> rows(static_cast<size_t>(DibStride(width, 24)) * height);
    for (BYTE& b : rows)
        b = static_cast<BYTE>(random());
    return MakeDib(width, height, 24, 0, {}, rows);
}

const std::vector<BYTE> kOldContent = {'o', 'l', 'd'};
}  // namespace

TEST(ImageFileErrors, AFullDeviceIsDiskFullForBmpAndFailsPng)
{
    // The host's full device, reached through Wine's drive Z: under a file name.
    ASSERT_EQ(RunOnHost("ln -s /dev/full " + CScratch::Host("full.bmp") + " && ln -s /dev/full " +
                        CScratch::Host("full.png")),
              0);
    const std::string bmp = CScratch::Windows("full.bmp");
    CDibImage image;
    HGLOBAL hDib = MakeDib(3, 2, 24);
    ASSERT_TRUE(image.Attach(hDib));
    const Outcome saved = image.Save(bmp.c_str());
    ASSERT_EQ(saved.kind, Outcome::Kind::FileFailed) << "a write to a full device went unnoticed";
    EXPECT_EQ(saved.file.m_cause, CFileException::diskFull);
    EXPECT_EQ(saved.file.m_strFileName, bmp);
    EXPECT_EQ(saved.file.GetErrorMessage(), "Disk full while accessing " + bmp + ".");
    // The image is still whole, unlocked, with the image size computed before the write.
    EXPECT_EQ(image.GetHandle(), hDib);
    EXPECT_EQ(LockCount(hDib), 0u);
    EXPECT_EQ(BlockHeader(hDib).biSizeImage, 24u);
    EXPECT_EQ(RunOnHost("test -L " + CScratch::Host("full.bmp")), 0);  // still there

    // PNG: a small picture sits in the stream's buffer until it is closed, a large one fails
    // inside libpng; both are failures.
    const std::string png = CScratch::Windows("full.png");
    EXPECT_FALSE(SavePng(png.c_str(), image).IsDone());
    CDibImage noise;
    ASSERT_TRUE(noise.Attach(NoiseDib(200, 200)));
    FILE* stream = std::fopen(png.c_str(), "wb");
    ASSERT_NE(stream, nullptr);
    EXPECT_FALSE(WritePng(stream, noise));
    std::fclose(stream);
    EXPECT_EQ(LockCount(noise.GetHandle()), 0u);
    EXPECT_FALSE(SavePng(png.c_str(), noise).IsDone());
}

TEST(ImageFileErrors, AFailingWriteUnlocksTheBlockAndCarriesTheSystemsCause)
{
    // A handle without write access: Windows says access denied, Wine says invalid handle.
    const std::string path = CScratch::Windows("read-only-handle.bmp");
    ASSERT_TRUE(WriteBytes(path, kOldContent));
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    CGlobalMemory hDib(MakeDib(3, 2, 24));
    const Outcome written = WriteDib(hDib, file);
    ASSERT_EQ(written.kind, Outcome::Kind::FileFailed) << "a refused write went unnoticed";
    const CFileException& e = written.file;
    EXPECT_NE(e.m_dwOsError, 0u);
    EXPECT_EQ(e.m_cause, CFileException::OsErrorToCause(e.m_dwOsError));
    EXPECT_TRUE(e.m_cause == CFileException::accessDenied || e.m_cause == CFileException::invalidFile)
        << e.GetErrorMessage();
    EXPECT_NE(e.GetErrorMessage().find(path), std::string::npos);
    EXPECT_EQ(LockCount(hDib), 0u);
    file.Close();
    EXPECT_EQ(ReadBytes(path), kOldContent);
}

TEST(ImageFileErrors, ReadOnlyFileIsNeitherOpenedNorChanged)
{
    const std::string name = "read-only.bmp";
    const std::string bmp = CScratch::Windows(name);
    const std::string png = CScratch::Windows("read-only.png");
    ASSERT_TRUE(WriteBytes(bmp, kOldContent));
    ASSERT_TRUE(WriteBytes(png, kOldContent));
    ASSERT_TRUE(::SetFileAttributesA(bmp.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::SetFileAttributesA(png.c_str(), FILE_ATTRIBUTE_READONLY));
    bool immutable = false;
    {
        // Wine keeps the attribute in the host's permission bits, which do not stop the
        // superuser: then the host makes the files unchangeable.
        CFileHandle probe(::CreateFileA(bmp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (probe) {
            probe.Reset();
            immutable = RunOnHost("chattr +i " + CScratch::Host(name) + " " + CScratch::Host("read-only.png")) == 0;
            if (!immutable)
                GTEST_SKIP() << "no way to make a file read-only for this user here";
        }
    }
    CDibImage image;
    HGLOBAL hDib = MakeDib(3, 2, 24);
    ASSERT_TRUE(image.Attach(hDib));
    const std::vector<BYTE> before = BlockBytes(hDib);
    EXPECT_FALSE(image.Save(bmp.c_str()).IsDone());
    EXPECT_FALSE(SavePng(png.c_str(), image).IsDone());
    if (immutable)
        RunOnHost("chattr -i " + CScratch::Host(name) + " " + CScratch::Host("read-only.png"));
    ::SetFileAttributesA(bmp.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::SetFileAttributesA(png.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(ReadBytes(bmp), kOldContent);
    EXPECT_EQ(ReadBytes(png), kOldContent);
    EXPECT_EQ(image.GetHandle(), hDib);
    EXPECT_EQ(BlockBytes(hDib), before);  // biSizeImage not even computed: nothing was written
}

TEST(ImageFileErrors, FileHeldWithoutSharingIsNeitherOpenedNorChanged)
{
    const std::string bmp = CScratch::Windows("held.bmp");
    const std::string png = CScratch::Windows("held.png");
    ASSERT_TRUE(WriteBytes(bmp, kOldContent));
    ASSERT_TRUE(WriteBytes(png, kOldContent));
    CDibImage image;
    HGLOBAL hDib = MakeDib(3, 2, 24);
    ASSERT_TRUE(image.Attach(hDib));
    const std::vector<BYTE> before = BlockBytes(hDib);
    {
        CFileHandle heldBmp(::CreateFileA(bmp.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        CFileHandle heldPng(::CreateFileA(png.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(heldBmp);
        ASSERT_TRUE(heldPng);
        EXPECT_FALSE(image.Save(bmp.c_str()).IsDone());
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_FALSE(SavePng(png.c_str(), image).IsDone());
    }
    EXPECT_EQ(ReadBytes(bmp), kOldContent);
    EXPECT_EQ(ReadBytes(png), kOldContent);
    EXPECT_EQ(BlockBytes(hDib), before);

    // A reader that shares reading only keeps writers out as well; one that shares writing
    // lets the file be written again from the start.
    {
        CFileHandle reader(::CreateFileA(bmp.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(image.Save(bmp.c_str()).IsDone());
    }
    {
        CFileHandle reader(::CreateFileA(bmp.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(image.Save(bmp.c_str()).IsDone());
    }
    EXPECT_EQ(ReadBytes(bmp).size(), 54u + 24);
}
