// program-cli: the radio programmer without windows. One verb per file.

#include "Cli.h"
#include "Verbs.h"

#include <cstring>
#include <iostream>

namespace cli {

const std::vector<Verb>& Verbs()
{
    static const std::vector<Verb> verbs = {
        kNewVerb,  kExportVerb, kImportVerb, kPlansVerb, kShowVerb,  kPrintVerb,
        kReadVerb, kWriteVerb,  kFleetVerb,  kDiffVerb,  kPortsVerb,
    };
    return verbs;
}

} // namespace cli

namespace {

void PrintToolHelp(std::ostream& out)
{
    out << "Usage: program-cli VERB [OPTIONS]\n"
           "Edit radio images (*.dat) and move them to and from a radio.\n\nVerbs:\n";
    for (const auto& verb : cli::Verbs())
        out << "  " << verb.name << std::string(10 - std::strlen(verb.name), ' ') << verb.summary << "\n";
    out << "\nRun 'program-cli VERB --help' for the options of a verb.\n"
           "Exit status: 0 success, 1 the operation failed, 2 wrong usage, 130 stopped\n"
           "by Ctrl+C during read or write. diff exits 1 when the files differ; fleet\n"
           "exits 1 when any radio failed or was skipped.\n";
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintToolHelp(std::cerr);
        return cli::kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintToolHelp(std::cout);
        return cli::kExitOk;
    }
    for (const auto& verb : cli::Verbs()) {
        if (args[0] == verb.name) {
            args.erase(args.begin());
            return verb.run(args, std::cout, std::cerr);
        }
    }
    std::cerr << "program-cli: unknown verb \"" << args[0] << "\"\n";
    PrintToolHelp(std::cerr);
    return cli::kExitUsage;
}
