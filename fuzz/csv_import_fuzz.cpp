// Any bytes as a channel CSV: import must either reject the file with at
// least one error and leave the result untouched, or accept it and export a
// file that imports to the same image.
#include "core/channels/ChannelCsv.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string csv(reinterpret_cast<const char*>(data), size);
    const RadioImage base = MakeNewImage();
    RadioImage result = base;
    std::vector<CsvError> errors;
    const bool ok = ImportChannelsCsv(csv, base, std::nullopt, result, errors);
    if (!ok) {
        if (errors.empty() || result != base)
            std::abort();
        return 0;
    }
    if (!errors.empty())
        std::abort();
    RadioImage again = base;
    std::vector<CsvError> errors2;
    if (!ImportChannelsCsv(ExportChannelsCsv(result, false), result, std::nullopt, again, errors2) || again != result)
        std::abort();
    return 0;
}
