#pragma once
// The verbs of program-cli, each defined in its own file.

#include "Cli.h"

#include "core/channels/ChannelPlans.h"

#include <iosfwd>
#include <vector>

namespace cli {

extern const Verb kNewVerb;
extern const Verb kExportVerb;
extern const Verb kImportVerb;
extern const Verb kShowVerb;
extern const Verb kReadVerb;
extern const Verb kWriteVerb;
extern const Verb kFleetVerb;
extern const Verb kPrintVerb;
extern const Verb kDiffVerb;
extern const Verb kPortsVerb;
extern const Verb kPlansVerb;

// The shipped plans beside the program and the user's own, as the plans
// verb lists them; a note about the user's folder goes to err.
std::vector<ChannelPlan> ListAvailablePlans(std::ostream& err);

} // namespace cli
