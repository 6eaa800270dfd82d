#include "Verbs.h"

#include "core/channels/ChannelCsv.h"
#include "core/util/AtomicFile.h"

#include <limits>
#include <ostream>

namespace cli {
namespace {

constexpr const char* kUsage =
    "Usage: program-cli import IN.csv -o OUT.dat [--base BASE.dat] [--band LOW-HIGH]\n"
    "Write the channels of a CSV file (as export writes it) into a radio image.\n"
    "\n"
    "  -o OUT.dat        the data file to write\n"
    "  --base BASE.dat   start from this image (default: a new image); channels\n"
    "                    the CSV does not list keep its bytes\n"
    "  --band LOW-HIGH   band limits in MHz, inclusive (e.g. 136-174)\n"
    "\n"
    "Columns are found by their English or Chinese heading; rows may come in any\n"
    "order. Every bad cell is reported as LINE:COLUMN: reason, and then nothing\n"
    "is written.\n";

constexpr std::size_t kMaxCsvBytes = 16 * 1024 * 1024;

int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {"-o", "--base", "--band"}, {}, a, err))
        return UsageError("import", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    if (a.positional.size() != 1 || !a.Value("-o"))
        return UsageError("import", "expected IN.csv and -o OUT.dat", err);
    std::optional<FrequencyBand> band;
    if (const auto text = a.Value("--band")) {
        band = ParseFrequencyBand(*text);
        if (!band)
            return UsageError("import", "--band must be LOW-HIGH in MHz, such as 136-174", err);
    }

    RadioImage base = MakeNewImage();
    if (const auto basePath = a.Value("--base"); basePath && !LoadImage("import", *basePath, base, err))
        return kExitFailed;

    const std::string& inPath = a.positional[0];
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadFileBytes(inPath, bytes, kMaxCsvBytes + 1, &error))
        return Failure("import", error, err);
    if (bytes.size() > kMaxCsvBytes)
        return Failure("import", inPath + ": file is too large for a channel list", err);

    RadioImage result{};
    std::vector<CsvError> errors;
    if (!ImportChannelsCsv(std::string(bytes.begin(), bytes.end()), base, band, result, errors)) {
        for (const CsvError& e : errors)
            err << e.line << ":" << e.column << ": " << e.reason << "\n";
        return kExitFailed;
    }
    return SaveImage("import", *a.Value("-o"), result, err) ? kExitOk : kExitFailed;
}

}  // namespace

const Verb kImportVerb = {"import", "write channels from a CSV file into a data file", kUsage, &RunImport};

}  // namespace cli
