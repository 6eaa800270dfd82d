#include "Verbs.h"

#include "core/channels/ChannelPlans.h"

#include <ostream>

namespace cli {
namespace {

constexpr const char* kUsage = "Usage: program-cli plans\n"
                               "List the channel plans: ready channel lists that 'program-cli import --plan\n"
                               "NAME' (and Edit > Channel Plan... in the desktop program) lay onto a radio.\n"
                               "One line per plan: its name, the number of channels and its file,\n"
                               "separated by tabs, ordered by name.\n"
                               "\n"
                               "The shipped plans (PMR446, FRS) lie in the folder plans/ beside the\n"
                               "desktop program; your own go in $XDG_DATA_HOME/radio-programmer/plans/\n"
                               "(default ~/.local/share/radio-programmer/plans/; on Windows\n"
                               "%LOCALAPPDATA%\\radio-programmer\\plans\\). A plan is a channel list in the\n"
                               "own CSV layout, as 'program-cli export' writes it; its name is the file\n"
                               "name without .csv, and your plan of the same name as a shipped one is used\n"
                               "in its place.\n";

int RunPlans(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {}, {}, a, err))
        return UsageError("plans", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    if (!a.positional.empty())
        return UsageError("plans", "expected no arguments", err);
    for (const ChannelPlan& plan : ListAvailablePlans(err))
        out << plan.name << '\t' << plan.channels << '\t' << plan.path << '\n';
    out.flush();
    if (!out)
        return Failure("plans", "cannot write to standard output", err);
    return kExitOk;
}

} // namespace

std::vector<ChannelPlan> ListAvailablePlans(std::ostream& err)
{
    std::string note;
    const std::string user = UserPlansDirectory(&note);
    if (!note.empty())
        err << "program-cli: " << note << "\n";
    return ListChannelPlans(FindFolderBesideProgram(kPlansFolder), user);
}

const Verb kPlansVerb = {"plans", "list the channel plans that import --plan takes", kUsage, &RunPlans};

} // namespace cli
