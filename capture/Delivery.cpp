#include "capture/Delivery.h"

#include "capture/SettingRules.h"
#include "framework/Paths.h"
#include "image/BitmapToDib.h"
#include "image/DibImage.h"
#include "image/PngWriter.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace {
Outcome HandOver()
{
    return Outcome();
}

// Each form in its format; the clipboard owns a form once it took it.
template <typename Owner, typename... Rest>
Outcome HandOver(UINT format, Owner& data, Rest&&... rest)
{
    if (!::SetClipboardData(format, data.Get()))
        return Outcome::Of(Outcome::Kind::ClipboardFailed);
    data.Detach();
    return HandOver(std::forward<Rest>(rest)...);
}

// The data alone on the clipboard (whatever it held goes), in each of its forms: format, owner,
// format, owner, ... A form the clipboard did not take stays with the caller's owner.
template <typename... Forms>
Outcome PutOnClipboard(HWND owner, Forms&&... forms)
{
    CClipboard clipboard(owner, kClipboardPatienceMs);
    if (!clipboard.IsOpen())
        return Outcome::Of(Outcome::Kind::ClipboardFailed);
    ::EmptyClipboard();
    return HandOver(std::forward<Forms>(forms)...);
}

// Writes the image as a bitmap or a PNG file, by the name's ending.
Outcome WritePictureFile(const char* name, CDibImage& image)
{
    return IsBmpFileName(name) ? image.Save(name) : SavePng(name, image);
}
}  // namespace

int NextFileNumber(int lastNumber, int baseNumber)
{
    if (lastNumber < baseNumber)
        return baseNumber;
    return lastNumber < kLastFileNumber ? lastNumber + 1 : kLastFileNumber;
}

bool NamesTheSameSeries(const CaptureSettings& before, const CaptureSettings& after)
{
    return std::strcmp(before.m_szDirectory, after.m_szDirectory) == 0 &&
           std::strcmp(before.m_szPrefix, after.m_szPrefix) == 0 && before.m_nBaseNumber == after.m_nBaseNumber &&
           before.m_nDigits == after.m_nDigits && std::strcmp(before.m_szExtension, after.m_szExtension) == 0;
}

std::string NumberedFileName(const std::string& directory, const std::string& prefix, int number, int digits,
                             const std::string& extension)
{
    std::string name = directory;
    if (!EndsWithBackslash(name))
        name += '\\';
    name += prefix;
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    const int length = static_cast<int>(std::strlen(text));
    if (length < digits)
        name.append(static_cast<size_t>(digits - length), '0');
    name += text;
    name += extension;
    return name;
}

bool IsBmpFileName(const std::string& name)
{
    return name.size() >= 4 && ::lstrcmpiA(name.c_str() + name.size() - 4, ".bmp") == 0;
}

bool BuildFileName(const CaptureSettings& settings, int& lastNumber, char* buffer)
{
    buffer[0] = '\0';
    std::string name;
    if (settings.m_nSaveMode == 0) {
        name = settings.m_szTargetFile;
    } else if (settings.m_szDirectory[0] && settings.m_szPrefix[0]) {
        // The number is used up before anything is written, also when the writing fails.
        lastNumber = NextFileNumber(lastNumber, settings.m_nBaseNumber);
        name = NumberedFileName(settings.m_szDirectory, settings.m_szPrefix, lastNumber, settings.m_nDigits,
                                settings.m_szExtension);
    }
    if (SystemLength(name) >= MAX_PATH || name.size() >= kFileNameBytes)
        return false;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return true;
}

Outcome DeliverBitmap(CBitmapHandle picture, const CaptureSettings& settings, int& lastNumber, HWND owner)
{
    if (!settings.m_bSaveToFile)
        return PutOnClipboard(owner, CF_BITMAP, picture);

    char name[kFileNameBytes];
    if (!BuildFileName(settings, lastNumber, name)) {
        // Directory, prefix and number make a path longer than Windows allows: said like any
        // other path that cannot be written.
        const std::string tooLong = NumberedFileName(settings.m_szDirectory, settings.m_szPrefix, lastNumber,
                                                     settings.m_nDigits, settings.m_szExtension);
        return Outcome::FileFailure(CFileException(CFileException::badPath, ERROR_FILENAME_EXCED_RANGE, tooLong));
    }
    // A PNG file of a true-colour picture is written straight from the bitmap, a strip of rows
    // at a time; the same bytes as the widened image's, without a copy of the whole picture.
    if (!IsBmpFileName(name)) {
        CBitmapRows rows(picture);
        if (rows.IsOpen())
            return SavePng(name, rows);
    }
    CDibImage image;
    const bool made = image.CreateFromBitmap(picture, nullptr) && image.ConvertTo24Bit();
    picture.Reset();
    // The picture could not be turned into an image: the memory ran out.
    if (!made)
        return Outcome::Of(Outcome::Kind::OutOfMemory);
    return WritePictureFile(name, image);
}

Outcome DeliverText(const std::string& text, HWND owner)
{
    // Both forms are made before the clipboard is opened: without memory for them, the
    // clipboard keeps what it holds. Each is converted straight into its block, so that the
    // largest text is held no more than once besides them.
    const int utf8Size = static_cast<int>(text.size()) + 1;  // with its NUL
    const int wideLength = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), utf8Size, nullptr, 0);
    CGlobalMemory unicode(::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(wideLength) * sizeof(wchar_t)));
    CGlobalMemory ansi;
    {
        CGlobalLock<wchar_t> wide(unicode);
        if (wideLength <= 0 || !wide)
            return Outcome::Of(Outcome::Kind::OutOfMemory);
        ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), utf8Size, wide.Get(), wideLength);
        // The ANSI form as the system itself makes it, substitutions and all: what programs
        // that read only CF_TEXT always got.
        const int ansiSize = ::WideCharToMultiByte(CP_ACP, 0, wide.Get(), wideLength, nullptr, 0, nullptr, nullptr);
        ansi.Reset(::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(ansiSize)));
        CGlobalLock<char> narrow(ansi);
        if (ansiSize <= 0 || !narrow)
            return Outcome::Of(Outcome::Kind::OutOfMemory);
        ::WideCharToMultiByte(CP_ACP, 0, wide.Get(), wideLength, narrow.Get(), ansiSize, nullptr, nullptr);
    }
    return PutOnClipboard(owner, CF_UNICODETEXT, unicode, CF_TEXT, ansi);
}
