// Any bytes as a data file: the parser must never read out of bounds, and
// it must change the image only when it accepts the file.
#include "core/document/DataFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RadioImage image = MakeNewImage();
    const DataFileResult result = ParseDataFile({data, size}, image);
    if (result != DataFileResult::Ok && image != MakeNewImage())
        std::abort();
    if (result == DataFileResult::Ok) {
        const auto bytes = SerializeDataFile(image);
        RadioImage again{};
        if (ParseDataFile(bytes, again) != DataFileResult::Ok || again != image)
            std::abort();
    }
    return 0;
}
