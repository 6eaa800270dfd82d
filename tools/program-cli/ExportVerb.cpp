#include "Verbs.h"

#include "core/channels/ChannelCsv.h"

#include <ostream>

namespace cli {
namespace {

constexpr const char* kUsage =
    "Usage: program-cli export FILE.dat [-o OUT.csv] [--lang en|zh] [--format own|interchange]\n"
    "Write the sixteen channels of a data file as CSV (UTF-8), to standard\n"
    "output or to OUT.csv.\n"
    "\n"
    "  --format own          (default) the column headings, then one line per\n"
    "                        channel with the texts the channel table shows;\n"
    "                        empty channels have empty cells\n"
    "  --format interchange  the layout of multi-radio programmers (Location,\n"
    "                        Name, Frequency, Duplex, Offset, Tone, ...), one\n"
    "                        line per channel that has a frequency\n"
    "  --lang en|zh          language of the own layout's headings and words\n";

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {"-o", "--lang", "--format"}, {}, a, err))
        return UsageError("export", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    bool chinese = false;
    if (!ParseLanguage(a, chinese, err))
        return UsageError("export", "bad language", err);
    const auto layout = ParseChannelCsvLayout(a.Value("--format").value_or("own"));
    if (!layout)
        return UsageError("export", "--format must be own or interchange", err);
    if (a.positional.size() != 1)
        return UsageError("export", "expected one data file", err);

    if (!RefuseSameFile("export", a.Value("-o").value_or(""), {a.positional[0]}, err))
        return kExitFailed;
    RadioImage image{};
    if (!LoadImage("export", a.positional[0], image, err))
        return kExitFailed;

    const ChannelCsvText text = ExportChannelsCsv(image, chinese, *layout);
    if (!WriteOutput("export", a.Value("-o").value_or(""), text.csv, out, err))
        return kExitFailed;
    for (int channel : text.transmitOnlyChannels)
        err << "program-cli export: note: channel " << channel
            << " has a transmit but no receive frequency; it is written with the transmit frequency as Frequency"
               " and an empty Duplex\n";
    return kExitOk;
}

} // namespace

const Verb kExportVerb = {"export", "write the channels of a data file as CSV", kUsage, &RunExport};

} // namespace cli
