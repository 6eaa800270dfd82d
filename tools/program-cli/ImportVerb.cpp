#include "Verbs.h"

#include "core/channels/ChannelCsv.h"
#include "core/channels/ChannelTable.h"
#include "core/settings/ProductInfo.h"

#include <limits>
#include <ostream>

namespace cli {
namespace {

constexpr const char* kUsage = "Usage: program-cli import IN.csv -o OUT.dat [--base BASE.dat]\n"
                               "                          [--band LOW-HIGH | --no-band-check] [--ini Program.ini]\n"
                               "       program-cli import --plan NAME -o OUT.dat [--base BASE.dat] [...]\n"
                               "Write the channels of a CSV file into a radio image. The file may be in the\n"
                               "own layout or the interchange layout of multi-radio programmers (as export\n"
                               "writes them); the heading line tells which.\n"
                               "\n"
                               "  --plan NAME       a channel plan instead of IN.csv ('program-cli plans'\n"
                               "                    lists them: PMR446, FRS and your own), checked like\n"
                               "                    any file\n"
                               "  -o OUT.dat        the data file to write\n"
                               "  --base BASE.dat   start from this image (default: a new image); channels\n"
                               "                    the CSV does not list keep its bytes\n"
                               "  --band LOW-HIGH   band limits in MHz, inclusive (e.g. 136-174)\n"
                               "  --no-band-check   accept any frequency on the channel step\n"
                               "  --ini FILE        the Program.ini that names the radio types and bands\n"
                               "                    (default: the one beside program-cli or the desktop\n"
                               "                    program)\n"
                               "\n"
                               "Without --band, frequencies are checked against the band of the base\n"
                               "image's radio type and band index, read from Program.ini, as the program's\n"
                               "window checks them.\n"
                               "\n"
                               "Columns are found by their heading and may come in any order, as may rows;\n"
                               "a column the file lacks keeps that field of the channels BASE has. Cells\n"
                               "may have blanks around them, frequencies leading zeros and any number of\n"
                               "decimals as long as they are exact in 10 Hz; ';' files and a byte-order\n"
                               "mark are read, and so are CR-only line ends. Every bad cell is reported as\n"
                               "LINE:COLUMN: reason (the first 100, then how many more), and then nothing is\n"
                               "written. A channel the file creates gets None / Wide / No / Off / High for\n"
                               "the columns the file lacks. Files over 1 MiB are refused, and the output may\n"
                               "not be the same file as IN.csv or BASE.dat.\n";

int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {"-o", "--base", "--band", "--ini", "--plan"}, {"--no-band-check"}, a, err))
        return UsageError("import", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    const std::optional<std::string> planName = a.Value("--plan");
    if (planName && !a.positional.empty())
        return UsageError("import", "--plan NAME takes the place of IN.csv; give one of them", err);
    if ((!planName && a.positional.size() != 1) || !a.Value("-o"))
        return UsageError("import", "expected IN.csv (or --plan NAME) and -o OUT.dat", err);
    std::string inputPath = planName ? std::string() : a.positional[0];
    if (planName) {
        const std::optional<ChannelPlan> plan = FindChannelPlan(ListAvailablePlans(err), *planName);
        if (!plan)
            return Failure("import", "no channel plan named \"" + *planName + "\"; 'program-cli plans' lists them",
                           err);
        inputPath = plan->path;
    }
    std::optional<FrequencyBand> band;
    if (const auto text = a.Value("--band")) {
        if (a.Flag("--no-band-check"))
            return UsageError("import", "--band and --no-band-check exclude each other", err);
        band = ParseFrequencyBand(*text);
        if (!band)
            return UsageError("import", "--band must be LOW-HIGH in MHz, such as 136-174", err);
    }

    std::vector<std::string> inputs = {inputPath};
    if (const auto basePath = a.Value("--base"))
        inputs.push_back(*basePath);
    if (!RefuseSameFile("import", *a.Value("-o"), inputs, err))
        return kExitFailed;

    RadioImage base = MakeNewImage();
    if (const auto basePath = a.Value("--base"); basePath && !LoadImage("import", *basePath, base, err))
        return kExitFailed;

    if (!band && !a.Flag("--no-band-check")) {
        CIniFile ini;
        if (!LoadProgramIni("import", a, true, ini, err))
            return kExitFailed;
        const ImageProduct product = ProductOfImage(ini, base);
        if (product.bandText.empty())
            return Failure("import",
                           "the base image's radio type " + std::to_string(product.typeIndex) + " and band " +
                               std::to_string(product.bandIndex) + " are not in " + ini.FilePath() +
                               "; give --band LOW-HIGH or --no-band-check",
                           err);
        FrequencyBand limits;
        BandLimits(product.bandText, limits.low, limits.high);
        band = limits;
    }

    std::string text;
    std::string error;
    if (ReadChannelCsvFile(inputPath, text, error) != ChannelCsvRead::Ok)
        return Failure("import", error, err);

    RadioImage result{};
    std::vector<CsvError> errors;
    if (!ImportChannelsCsv(text, base, band, result, errors)) {
        if (planName)
            err << "program-cli import: the plan " << *planName << " (" << inputPath
                << ") does not fit; nothing was written:\n";
        for (const std::string& line : CsvErrorLines(errors))
            err << line << "\n";
        return kExitFailed;
    }
    return SaveImage("import", *a.Value("-o"), result, err) ? kExitOk : kExitFailed;
}

} // namespace

const Verb kImportVerb = {"import", "write channels from a CSV file into a data file", kUsage, &RunImport};

} // namespace cli
