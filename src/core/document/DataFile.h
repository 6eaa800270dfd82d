#pragma once
// The *.dat file: the magic "T593", twelve reserved bytes, then the 1024
// bytes of the radio image. Nothing else: no version, no length, no checksum.

#include "core/document/RadioImage.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr std::size_t kDataFileHeaderSize = 16;
inline constexpr std::size_t kDataFileSize = kDataFileHeaderSize + ImageMap::kImageSize; // 1040

enum class DataFileResult {
    Ok,
    CannotOpen, // missing, unreadable, not a regular file, or a read error
    BadFormat,  // the magic is wrong: the GUI says "Data Format Error"
    Truncated,  // shorter than 1040 bytes
    CannotWrite,
};

// Parses the bytes of a data file. The image is changed only on success;
// bytes after the 1040th and the reserved bytes are ignored.
DataFileResult ParseDataFile(std::span<const std::uint8_t> bytes, RadioImage& image);
std::vector<std::uint8_t> SerializeDataFile(const RadioImage& image);

// Loads a data file; on any failure image is left exactly as it was.
DataFileResult LoadDataFile(const std::string& path, RadioImage& image, std::string* error = nullptr);
// Saves atomically: on failure the previous file stays intact.
DataFileResult SaveDataFile(const std::string& path, const RadioImage& image, std::string* error = nullptr);

// A one-line English or Chinese description of a failure, for the command
// line and for messages that have no resource text. Truncated files give "":
// their message names the file ("... is not a complete data file").
std::string DataFileResultText(DataFileResult result, bool chinese);
