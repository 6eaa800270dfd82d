#include "Verbs.h"

#include "core/channels/ChannelCsv.h"

#include <ostream>

namespace cli {
namespace {

constexpr const char* kUsage =
    "Usage: program-cli export FILE.dat [-o OUT.csv] [--lang en|zh]\n"
    "Write the sixteen channels of a data file as CSV (UTF-8), to standard\n"
    "output or to OUT.csv. The first line holds the column headings, then one\n"
    "line per channel with the texts the channel table shows. Empty channels\n"
    "have empty cells.\n";

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {"-o", "--lang"}, {}, a, err))
        return UsageError("export", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    bool chinese = false;
    if (!ParseLanguage(a, chinese, err))
        return UsageError("export", "bad language", err);
    if (a.positional.size() != 1)
        return UsageError("export", "expected one data file", err);

    RadioImage image{};
    if (!LoadImage("export", a.positional[0], image, err))
        return kExitFailed;

    const std::string csv = ExportChannelsCsv(image, chinese);
    return WriteOutput("export", a.Value("-o").value_or(""), csv, out, err) ? kExitOk : kExitFailed;
}

}  // namespace

const Verb kExportVerb = {"export", "write the channels of a data file as CSV", kUsage, &RunExport};

}  // namespace cli
