// The rules that every choice of the user keeps, in one place: the Option dialog refuses what
// breaks them (saying why, in the words below), and the profile leaves a value that breaks them
// unused, its setting at the default. What the one accepts the other takes, and nothing else.
#pragma once

#include <windows.h>

#include <string>

// A number's range, both ends included.
struct SettingRange {
    int low;
    int high;
    bool Holds(int value) const { return value >= low && value <= high; }
};
const SettingRange kSaveModeRange = {0, 1};  // one file overwritten, numbered files
const SettingRange kAviRateRange = {1, 20};      // frames per second
const SettingRange kAviEndAfterRange = {1, 30};  // seconds
const SettingRange kBaseNumberRange = {0, 3000};
const SettingRange kDigitsRange = {1, 6};
// The highest number a numbered file gets: where counting stops rather than running past what
// the number can hold (at one file every two seconds, more than sixty years of them).
const int kLastFileNumber = 999999999;
// The number of the last numbered file: one below the lowest base number at the least.
const SettingRange kLastNumberRange = {kBaseNumberRange.low - 1, kLastFileNumber};

// Characters as the system counts them (UTF-16 units): six for the prefix; a path as long as
// the system allows one (MAX_PATH with its terminating zero); an AVI file three fewer, so
// that the name of a long recording's next file, "-2" up to "-99" added, fits as well.
const size_t kPrefixLength = 6;
const size_t kPathLength = MAX_PATH - 1;
const size_t kAviPathLength = kPathLength - 3;

// A hot-key letter is a capital A to Z, the key's own virtual-key code.
bool IsHotKeyLetter(int value);
// Why the three letters (begin and end of "Copy manually", begin of "Copy automatically")
// cannot all be keys: two of them are the same. Null when they are all different.
const char* LetterClashMessage(char begin, char end, char autoBegin);

// Why a path (UTF-8) cannot be kept, or null when it can: empty, or full (a drive and its root,
// or a network share), of at most maxLength characters, and with no character that a file
// name cannot hold.
const char* PathFault(const std::string& path, size_t maxLength = kPathLength);
// Why a prefix of numbered files cannot be kept, or null: at most six characters, none that a
// file name cannot hold.
const char* PrefixFault(const std::string& prefix);
// Said of a path longer than the system allows.
extern const char kPathTooLong[];

// Why the file choices cannot be kept, or null: saving into one file needs that file, numbered
// files need a prefix and a directory. Nothing is needed when nothing is saved into files.
const char* MissingFileChoiceMessage(BOOL saveToFile, int saveMode, const std::string& targetFile,
                                     const std::string& prefix, const std::string& directory);

// The type of numbered files: ".png" or ".bmp".
bool IsFileType(const std::string& type);
// A rectangle: the all-zero one (none chosen), or one of some size whose corners lie where a
// screen may be.
bool IsChoosableRect(const RECT& rect);
