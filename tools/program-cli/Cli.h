#pragma once
// Shared plumbing of the program-cli verbs: exit codes, argument parsing and
// the verb table.

#include "core/app/IniFile.h"
#include "core/document/RadioImage.h"

#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;        // the operation failed; one line on stderr
inline constexpr int kExitUsage = 2;         // wrong usage
inline constexpr int kExitInterrupted = 130; // stopped by Ctrl+C (128 + SIGINT)

// Parsed command line of one verb: positional arguments and options.
// Options that take a value are written "--name VALUE" or "-o VALUE";
// "--help" / "-h" are always recognised.
struct Arguments
{
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool help = false;

    std::optional<std::string> Value(const std::string& name) const;
    bool Flag(const std::string& name) const { return flags.count(name) != 0; }
};

// valueOptions and flagOptions list the accepted option names, with their
// dashes ("-o", "--lang"). Returns false and writes a usage error to err on
// an unknown option or a missing value.
bool ParseArguments(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                    const std::set<std::string>& flagOptions, Arguments& out, std::ostream& err);

// Reads --lang en|zh; false (with a usage error) for any other value.
bool ParseLanguage(const Arguments& args, bool& chinese, std::ostream& err);
// Reads --mode 0|1|2 (the device mode, as the channel window shows it);
// mode keeps its value when the option is absent.
bool ParseDeviceMode(const Arguments& args, int& mode, std::ostream& err);

struct Verb
{
    const char* name;
    const char* summary;
    const char* usage; // full help text, printed by "--help"
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// The verbs, in the order "--help" lists them. Defined in main.cpp.
const std::vector<Verb>& Verbs();

// Prints "program-cli VERB: message" on err and returns kExitUsage.
int UsageError(const char* verb, const std::string& message, std::ostream& err);
// Prints "program-cli VERB: message" on err and returns kExitFailed.
int Failure(const char* verb, const std::string& message, std::ostream& err);

// Loads a data file for a verb. On failure prints the reason as one line
// ("Data Format Error" for a wrong magic) and returns false.
bool LoadImage(const char* verb, const std::string& path, RadioImage& image, std::ostream& err);
// Saves a data file atomically; on failure prints the reason and returns false.
bool SaveImage(const char* verb, const std::string& path, const RadioImage& image, std::ostream& err);
// False, with "OUT: the same file as the input IN" on err, when output names
// the same file as one of inputs (links followed): writing it would destroy
// what is being read.
bool RefuseSameFile(const char* verb, const std::string& output, const std::vector<std::string>& inputs,
                    std::ostream& err);
// A file of the desktop program: beside program-cli (the build tree), else
// beside the installed desktop program. Empty when neither exists.
std::string FindBesideProgram(const std::string& name);
// The same for a folder ("plans").
std::string FindFolderBesideProgram(const std::string& name);

// Loads the Program.ini given with --ini, else the one FindBesideProgram
// finds. False, with the reason printed, when a given file cannot be read
// or (required) none is found.
bool LoadProgramIni(const char* verb, const Arguments& args, bool required, CIniFile& ini, std::ostream& err);

// Writes text to path atomically, or to out when path is empty.
bool WriteOutput(const char* verb, const std::string& path, const std::string& text, std::ostream& out,
                 std::ostream& err);

} // namespace cli
