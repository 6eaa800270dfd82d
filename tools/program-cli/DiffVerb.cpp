#include "Verbs.h"

#include "core/document/ImageComparison.h"

#include <ostream>

namespace cli {
namespace {

constexpr const char* kUsage = "Usage: program-cli diff A.dat B.dat [--bytes]\n"
                               "List what differs between two data files, A the old and B the new: each\n"
                               "changed channel field (\"CH 3 Rx Frequency: 145.50000 -> 146.52000\"), each\n"
                               "changed optional feature by its dialog label, the radio type and band\n"
                               "indexes, and how many other bytes differ.\n"
                               "\n"
                               "  --bytes          also list every differing byte (\"0x0134: 03 -> 05\")\n"
                               "\n"
                               "Exit status: 0 the 1024 image bytes are equal, 1 they differ (or a file\n"
                               "cannot be read), 2 wrong usage.\n";

int RunDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {}, {"--bytes"}, a, err))
        return UsageError("diff", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    if (a.positional.size() != 2)
        return UsageError("diff", "expected two data files", err);
    RadioImage first{};
    RadioImage second{};
    if (!LoadImage("diff", a.positional[0], first, err) || !LoadImage("diff", a.positional[1], second, err))
        return kExitFailed;
    const ImageComparison comparison = CompareImages(first, second);
    out << FormatComparison(comparison, a.Flag("--bytes"));
    return comparison.Equal() ? kExitOk : kExitFailed;
}

} // namespace

const Verb kDiffVerb = {"diff", "list what differs between two data files", kUsage, &RunDiff};

} // namespace cli
