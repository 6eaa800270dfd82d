#pragma once
// The copies of complete radio reads. Every image read from a radio is also
// stored as a data file in a per-user folder, named from the local time of
// the read, so that a radio overwritten by mistake can be written back with
// what it held before. Only the newest copies are kept.
//
// Storing a copy never decides the fate of the read itself: the caller shows
// a failure (status bar, one line on stderr) and carries on.

#include "core/document/RadioImage.h"

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

inline constexpr std::size_t kReadCopiesKept = 100;

// $XDG_DATA_HOME/radio-programmer/radio-reads, with ~/.local/share in place
// of an unset or relative XDG_DATA_HOME. Empty when there is no home either.
// A relative XDG_DATA_HOME is ignored, and note (when given) then says so.
// On Windows: %LOCALAPPDATA%\radio-programmer\radio-reads.
std::string ReadCopiesDirectory(std::string* note = nullptr);

// "2026-12-08_14-03-22.dat" for that moment in local time.
std::string ReadCopyName(std::time_t when);

// The copies in directory, oldest first by the time they were written (by
// name among equals). Only regular 1040-byte data files with a copy's name
// are copies; other files are never listed (nor removed).
std::vector<std::string> ListReadCopies(const std::string& directory);

struct ReadCopyResult
{
    std::string path;  // the copy written, when it was
    std::string error; // why it was not, as one line
    bool Stored() const { return error.empty(); }
};

// Writes image into directory (created when missing) under the name of
// when; a name already taken by an earlier read of the same second gets
// "_2", "_3", ... before ".dat". Then removes the oldest copies beyond keep,
// never the one just written.
ReadCopyResult StoreReadCopy(const RadioImage& image, const std::string& directory, std::time_t when,
                             std::size_t keep = kReadCopiesKept);
