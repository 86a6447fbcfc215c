#include "capture/Delivery.h"

#include "app/Settings.h"
#include "framework/App.h"
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

void PlayShutter()
{
    // Synchronous: the sound has played when this returns.
    ::PlaySoundA(MAKEINTRESOURCEA(IDR_SHUTTER), GetAppInstance(), SND_RESOURCE);
}
