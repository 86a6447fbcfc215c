// What an AVI file says of itself in its chunks, read without its frames: whether the writer
// completed it (the list that holds it, the frame count of its main header, its index), and the
// name its stream carries.
#pragma once

#include <windows.h>

#include <string>

struct AviFacts {
    bool riff = false;       // a RIFF 'AVI ' list that ends within the file
    DWORD totalFrames = 0;   // as the main header counts them
    bool indexed = false;    // an index chunk in the list
    std::string streamName;  // of the first stream, as stored (in the ANSI code page); "" without one
};

// The facts of the file (a UTF-8 path); none where it cannot be read or holds no AVI list.
AviFacts ReadAviFacts(const std::string& path);

// Whether the facts are those of a file completed with `frames` frames.
inline bool IsWholeAvi(const AviFacts& facts, DWORD frames)
{
    return facts.riff && facts.indexed && facts.totalFrames == frames;
}
