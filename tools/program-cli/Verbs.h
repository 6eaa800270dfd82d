#pragma once
// The verbs of program-cli, each defined in its own file.

#include "Cli.h"

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

}  // namespace cli
