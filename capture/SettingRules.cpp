#include "capture/SettingRules.h"

#include "framework/Paths.h"

#include <cstring>

const char kPathTooLong[] = "This path is too long. Please choose a shorter one.";

// The words below name the limits.
static_assert(kPrefixLength == 6 && kAviPathLength == 256, "say the new limits");

namespace {
// Screen coordinates travel in 16 bits in mouse messages: no screen reaches beyond them.
const LONG kFarthestCoordinate = 32767;

bool HoldsNoForbiddenCharacter(const std::string& text, const char* forbidden)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 32 || std::strchr(forbidden, c))
            return false;
    return true;
}
}  // namespace

bool IsHotKeyLetter(int value)
{
    return value >= 'A' && value <= 'Z';
}

const char* LetterClashMessage(char begin, char end, char autoBegin)
{
    if (begin == end || begin == autoBegin)
        return "Hot key to copy AVI manually is duplicated with others.  Please correct it.";
    if (end == autoBegin)
        return "Hot key to copy AVI automatically is duplicated with others.  Please correct it.";
    return nullptr;
}

const char* PathFault(const std::string& path, size_t maxLength)
{
    if (path.empty())
        return nullptr;
    const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
    const bool share = path.compare(0, 2, "\\\\") == 0;
    if (!drive && !share)
        return "Please choose a full path: one that begins with a drive (C:\\) or a network share "
               "(\\\\server\\share).";
    if (!HoldsNoForbiddenCharacter(drive ? path.substr(2) : path, ":*?\"<>|/"))
        return "A path cannot hold any of the characters / : * ? \" < > | nor a control character. Please "
               "choose another one.";
    if (SystemLength(path) <= maxLength)
        return nullptr;
    if (maxLength < kPathLength)
        return "This path is too long for a recording, which goes on in next files named with \"-2\", \"-3\", "
               "... added. Please choose one of at most 256 characters.";
    return kPathTooLong;
}

const char* PrefixFault(const std::string& prefix)
{
    if (SystemLength(prefix) > kPrefixLength)
        return "Please enter no more than 6 characters.";
    if (!HoldsNoForbiddenCharacter(prefix, "\\/:*?\"<>|"))
        return "The prefix of files cannot hold any of the characters \\ / : * ? \" < > | nor a control "
               "character. Please correct it.";
    return nullptr;
}

const char* MissingFileChoiceMessage(BOOL saveToFile, int saveMode, const std::string& targetFile,
                                     const std::string& prefix, const std::string& directory)
{
    if (!saveToFile)
        return nullptr;
    if (saveMode == 0)
        return targetFile.empty() ? "Please specify the target file." : nullptr;
    if (prefix.empty())
        return "Please specify the prefix of files.";
    if (directory.empty())
        return "Please specify the directory to save files.";
    return nullptr;
}

bool IsFileType(const std::string& type)
{
    return type == ".png" || type == ".bmp";
}

bool IsChoosableRect(const RECT& rect)
{
    if (rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0)
        return true;
    for (const LONG coordinate : {rect.left, rect.top, rect.right, rect.bottom})
        if (coordinate < -kFarthestCoordinate - 1 || coordinate > kFarthestCoordinate)
            return false;
    return rect.left != rect.right && rect.top != rect.bottom;
}
