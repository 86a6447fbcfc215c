#include "capture/Delivery.h"

#include "framework/App.h"
#include "framework/FileException.h"
#include "framework/Handles.h"
#include "framework/MessageBox.h"
#include "framework/Paths.h"
#include "image/DibImage.h"
#include "image/PngWriter.h"
#include "res/resource.h"

#include <mmsystem.h>

#include <cstdio>
#include <cstring>

namespace {
const char kClipboardFailed[] = "Clipboard operation failed!";
const char kOutOfMemory[] = "Out of Memory";

// A picture that went nowhere: the user is told, and hears no shutter.
void ReportUndelivered(const std::string& text)
{
    AppMessageBox(text, MB_OK | MB_ICONSTOP);
}

// The picture alone on the clipboard (whatever it held goes); false when it could not be put
// there. The clipboard owns the bitmap once it took it.
bool PutOnClipboard(CBitmapHandle& picture)
{
    CClipboard clipboard(GetAppMainWindow(), kClipboardPatienceMs);
    if (!clipboard.IsOpen())
        return false;
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_BITMAP, picture))
        return false;
    picture.Detach();
    return true;
}

// Writes the image as a bitmap or a PNG file, by the name's ending; the text of what went
// wrong, empty when the file was written.
std::string WritePictureFile(const char* name, CDibImage& image)
{
    CFileException failure(CFileException::generic, 0, name);
    try {
        const BOOL written = IsBmpFileName(name) ? image.Save(name, &failure) : SavePng(name, image, &failure);
        return written ? std::string() : failure.GetErrorMessage();
    } catch (const CFileException& error) {
        return error.GetErrorMessage();
    }
}
}  // namespace

int NextFileNumber(int lastNumber, int baseNumber)
{
    return lastNumber < baseNumber ? baseNumber : lastNumber + 1;
}

std::string NumberedFileName(const std::string& directory, const std::string& prefix, int number, int digits,
                             const std::string& extension, UINT codePage)
{
    std::string name = directory;
    if (!EndsWithBackslash(name, codePage))
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
    if (name.size() >= MAX_PATH)
        return false;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return true;
}

void DeliverBitmap(HBITMAP bitmap, CaptureSettings& settings)
{
    CBitmapHandle picture(bitmap);
    if (!settings.m_bSaveToFile) {
        if (!PutOnClipboard(picture)) {
            ReportUndelivered(kClipboardFailed);
            return;
        }
        PlayShutter();
        return;
    }

    char name[MAX_PATH];
    if (!BuildFileName(settings, settings.m_nLastNumber, name)) {
        // Directory, prefix and number make a path longer than Windows allows: said like any
        // other path that cannot be written.
        const std::string tooLong = NumberedFileName(settings.m_szDirectory, settings.m_szPrefix, settings.m_nLastNumber,
                                                     settings.m_nDigits, settings.m_szExtension);
        ReportUndelivered(
            CFileException(CFileException::badPath, ERROR_FILENAME_EXCED_RANGE, tooLong).GetErrorMessage());
        return;
    }
    CDibImage image;
    const bool made = image.CreateFromBitmap(picture, nullptr) && image.ConvertTo24Bit();
    picture.Reset();
    if (!made) {
        // The picture could not be turned into an image: the memory ran out.
        ReportUndelivered(kOutOfMemory);
        return;
    }
    const std::string failure = WritePictureFile(name, image);
    if (!failure.empty()) {
        ReportUndelivered(failure);
        return;
    }
    PlayShutter();
}

void PlayShutter()
{
    // Synchronous: the sound has played when this returns.
    ::PlaySoundA(MAKEINTRESOURCEA(IDR_SHUTTER), GetAppInstance(), SND_RESOURCE);
}
