// The files of one recording: the first, which the user named, and the parts that follow it
// when a file is full, named after it (clip.avi, clip-2.avi, clip-3.avi, ...). Every part
// carries a mark in its stream's name that says whose part it is: the parts that an earlier
// recording into the same first file left are known by it and removed when a new recording
// makes that file again, and a file in a part's place that carries no such mark (the user's own)
// is never written over.
#pragma once

#include "framework/Outcome.h"

#include <string>

// The file of part `part` (1, 2, ...) of a recording into `first`: the first itself, then the
// name with "-2", "-3", ... before its .avi extension (in any case), or at its end without one.
std::string AviPartName(const std::string& first, int part);

// The mark of that part: "Pixlet32 part 2 of clip.avi", with the first file's name without its
// folder (the parts keep their mark when the folder is moved), in ASCII ('?' for any other
// character) and cut to what the stream's name holds (63 characters). Marks compare in any case,
// as the names do.
std::string PartMark(const std::string& first, int part);

// Removes the parts that earlier recordings into `first` left beside it: files named as its
// parts 2, 3, ... whose mark says they are. Done, or why one of them stays.
Outcome RemoveEarlierParts(const std::string& first);

// Whether part `part` (2 or later) of a recording into `first` may be written: its name fits a
// path (MAX_PATH), and its place is free or holds that part of an earlier recording. Done, or
// why not, in the user's words: the recording then ends with the part before.
Outcome ClaimPartPlace(const std::string& first, int part);
