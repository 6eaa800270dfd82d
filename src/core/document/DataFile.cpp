#include "core/document/DataFile.h"

#include "core/util/AtomicFile.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::uint8_t kMagic[4] = {'T', '5', '9', '3'};
}

DataFileResult ParseDataFile(std::span<const std::uint8_t> bytes, RadioImage& image)
{
    // The 16-byte header is read before the magic is looked at, so a file
    // shorter than the header is "cut short" whatever it holds.
    if (bytes.size() < kDataFileHeaderSize)
        return DataFileResult::Truncated;
    if (!std::equal(kMagic, kMagic + 4, bytes.begin()))
        return DataFileResult::BadFormat;
    if (bytes.size() < kDataFileSize)
        return DataFileResult::Truncated;
    std::copy_n(bytes.begin() + kDataFileHeaderSize, ImageMap::kImageSize, image.begin());
    return DataFileResult::Ok;
}

std::vector<std::uint8_t> SerializeDataFile(const RadioImage& image)
{
    std::vector<std::uint8_t> bytes(kDataFileSize, 0);
    std::copy(kMagic, kMagic + 4, bytes.begin());
    std::copy(image.begin(), image.end(), bytes.begin() + kDataFileHeaderSize);
    return bytes;
}

DataFileResult LoadDataFile(const std::string& path, RadioImage& image, std::string* error)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, kDataFileSize, error))
        return DataFileResult::CannotOpen;
    // Parse into a scratch image so a bad file leaves the caller's untouched.
    RadioImage scratch = image;
    DataFileResult result = ParseDataFile(bytes, scratch);
    if (result == DataFileResult::Ok)
        image = scratch;
    else if (error)
        *error = DataFileResultText(result, false);
    return result;
}

DataFileResult SaveDataFile(const std::string& path, const RadioImage& image, std::string* error)
{
    const std::vector<std::uint8_t> bytes = SerializeDataFile(image);
    return WriteFileAtomically(path, bytes.data(), bytes.size(), error) ? DataFileResult::Ok
                                                                        : DataFileResult::CannotWrite;
}

std::string DataFileResultText(DataFileResult result, bool chinese)
{
    switch (result) {
    case DataFileResult::Ok: return "";
    case DataFileResult::BadFormat: return chinese ? "数据格式不正确" : "Data Format Error";
    case DataFileResult::Truncated: return "";
    case DataFileResult::CannotOpen: return chinese ? "无法打开文件" : "Cannot open the file";
    case DataFileResult::CannotWrite: return chinese ? "无法保存文件" : "Cannot save the file";
    }
    return "";
}
