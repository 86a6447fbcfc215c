#include "capture/Delivery.h"

#include "app/Settings.h"
#include "framework/App.h"
#include "framework/FileException.h"
#include "framework/Handles.h"
#include "framework/MessageBox.h"
#include "image/DibImage.h"
#include "image/PngWriter.h"
#include "res/resource.h"

#include <mmsystem.h>

#include <cstdio>
#include <cstring>

int NextFileNumber(int lastNumber, int baseNumber)
{
    return lastNumber < baseNumber ? baseNumber : lastNumber + 1;
}

std::string NumberedFileName(const std::string& directory, const std::string& prefix, int number, int digits,
                             const std::string& extension)
{
    std::string name = directory;
    if (name.empty() || name.back() != '\\')
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

bool BuildFileName(char* buffer)
{
    buffer[0] = '\0';
    std::string name;
    if (theSettings.m_nSaveMode == 0) {
        name = theSettings.m_szTargetFile;
    } else if (theSettings.m_szDirectory[0] && theSettings.m_szPrefix[0]) {
        // The number is used up before anything is written, also when the writing fails.
        const int number = NextFileNumber(theSettings.m_nLastNumber, theSettings.m_nBaseNumber);
        theSettings.m_nLastNumber = number;
        name = NumberedFileName(theSettings.m_szDirectory, theSettings.m_szPrefix, number, theSettings.m_nDigits,
                                theSettings.m_szExtension);
    }
    if (name.size() >= MAX_PATH)
        return false;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return true;
}

void DeliverBitmap(HBITMAP bitmap)
{
    CBitmapHandle picture(bitmap);
    if (!theSettings.m_bSaveToFile) {
        {
            CClipboard clipboard(GetAppMainWindow());
            if (clipboard.IsOpen()) {
                // The picture alone: whatever the clipboard held goes.
                ::EmptyClipboard();
                if (::SetClipboardData(CF_BITMAP, picture))
                    picture.Detach();
            }
        }
        PlayShutter();
        return;
    }

    char name[MAX_PATH];
    if (!BuildFileName(name)) {
        // Directory, prefix and number make a path longer than Windows allows: said like any
        // other path that cannot be written, and no sound for a capture that went nowhere.
        const std::string tooLong =
            NumberedFileName(theSettings.m_szDirectory, theSettings.m_szPrefix, theSettings.m_nLastNumber,
                             theSettings.m_nDigits, theSettings.m_szExtension);
        AppMessageBox(CFileException(CFileException::badPath, ERROR_FILENAME_EXCED_RANGE, tooLong).GetErrorMessage(),
                      MB_OK | MB_ICONSTOP);
        return;
    }
    CDibImage image;
    // Failures of the conversion leave an empty image, which the writers refuse.
    image.CreateFromBitmap(picture, nullptr);
    picture.Reset();
    image.ConvertTo24Bit();
    try {
        if (IsBmpFileName(name))
            image.Save(name);
        else
            SavePng(name, image);
    } catch (const CFileException& error) {
        // The file could be made but not written: the one failure the user is told of.
        AppMessageBox(error.GetErrorMessage(), MB_OK | MB_ICONSTOP);
        return;
    }
    PlayShutter();
}

void PlayShutter()
{
    // Synchronous: the sound has played when this returns.
    ::PlaySoundA(MAKEINTRESOURCEA(IDR_SHUTTER), GetAppInstance(), SND_RESOURCE);
}
