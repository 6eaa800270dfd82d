#include "Verbs.h"

#include <ostream>

namespace cli {
namespace {

constexpr const char* kUsage = "Usage: program-cli new -o FILE.dat\n"
                               "Write a new radio image (the defaults of a new document) as a data file.\n";

int RunNew(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {"-o"}, {}, a, err))
        return UsageError("new", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    const auto output = a.Value("-o");
    if (!output || !a.positional.empty())
        return UsageError("new", "expected -o FILE.dat", err);
    return SaveImage("new", *output, MakeNewImage(), err) ? kExitOk : kExitFailed;
}

} // namespace

const Verb kNewVerb = {"new", "write a new radio image to a data file", kUsage, &RunNew};

} // namespace cli
