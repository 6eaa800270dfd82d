#include "Cli.h"

#include "core/app/IniFile.h"
#include "core/document/DataFile.h"
#include "core/util/AtomicFile.h"
#include "core/util/Utf8Path.h"

#include <filesystem>
#include <ostream>

namespace cli {

std::optional<std::string> Arguments::Value(const std::string& name) const
{
    auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

bool ParseArguments(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                    const std::set<std::string>& flagOptions, Arguments& out, std::ostream& err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--") {
            out.positional.insert(out.positional.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::string name = arg;
            std::optional<std::string> inlineValue;
            if (auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
                name = arg.substr(0, eq);
                inlineValue = arg.substr(eq + 1);
            }
            if (valueOptions.count(name)) {
                if (!inlineValue) {
                    if (i + 1 >= args.size()) {
                        err << "option " << name << " needs a value\n";
                        return false;
                    }
                    inlineValue = args[++i];
                }
                if (out.values.count(name)) {
                    err << "option " << name << " given twice\n";
                    return false;
                }
                out.values[name] = *inlineValue;
            } else if (flagOptions.count(name) && !inlineValue) {
                out.flags.insert(name);
            } else {
                err << "unknown option " << arg << "\n";
                return false;
            }
        } else {
            out.positional.push_back(arg);
        }
    }
    return true;
}

bool ParseLanguage(const Arguments& args, bool& chinese, std::ostream& err)
{
    const std::string lang = args.Value("--lang").value_or("en");
    if (lang != "en" && lang != "zh") {
        err << "--lang must be en or zh, not \"" << lang << "\"\n";
        return false;
    }
    chinese = lang == "zh";
    return true;
}

bool ParseDeviceMode(const Arguments& args, int& mode, std::ostream& err)
{
    const auto text = args.Value("--mode");
    if (!text)
        return true;
    if (*text != "0" && *text != "1" && *text != "2") {
        err << "--mode must be 0, 1 or 2, not \"" << *text << "\"\n";
        return false;
    }
    mode = (*text)[0] - '0';
    return true;
}

int UsageError(const char* verb, const std::string& message, std::ostream& err)
{
    err << "program-cli " << verb << ": " << message << "\n"
        << "Try 'program-cli " << verb << " --help'.\n";
    return kExitUsage;
}

int Failure(const char* verb, const std::string& message, std::ostream& err)
{
    err << "program-cli " << verb << ": " << message << "\n";
    return kExitFailed;
}

bool LoadImage(const char* verb, const std::string& path, RadioImage& image, std::ostream& err)
{
    std::string error;
    const DataFileResult result = LoadDataFile(path, image, &error);
    switch (result) {
    case DataFileResult::Ok: return true;
    case DataFileResult::BadFormat: Failure(verb, path + ": " + DataFileResultText(result, false), err); break;
    case DataFileResult::Truncated:
        Failure(verb, path + ": not a complete data file (shorter than " + std::to_string(kDataFileSize) + " bytes)",
                err);
        break;
    default: Failure(verb, error.empty() ? path + ": cannot read the file" : error, err); break;
    }
    return false;
}

bool SaveImage(const char* verb, const std::string& path, const RadioImage& image, std::ostream& err)
{
    std::string error;
    if (SaveDataFile(path, image, &error) == DataFileResult::Ok)
        return true;
    Failure(verb, error, err);
    return false;
}

bool RefuseSameFile(const char* verb, const std::string& output, const std::vector<std::string>& inputs,
                    std::ostream& err)
{
    for (const std::string& input : inputs) {
        if (!output.empty() && IsSameFile(output, input)) {
            Failure(verb, output + ": the same file as the input " + input + "; choose another output", err);
            return false;
        }
    }
    return true;
}

namespace {

std::string FindEntryBesideProgram(const std::string& name, bool folder)
{
    const std::string self = RunningExecutablePath();
    if (self.empty())
        return {};
    std::error_code ec;
    const std::filesystem::path dir = PathFromUtf8(self).parent_path();
    const std::filesystem::path candidates[] = {
        dir / name,
        dir / ".." / PROGRAM_INSTALL_DIR / name,
    };
    for (const auto& candidate : candidates)
        if (folder ? std::filesystem::is_directory(candidate, ec) : std::filesystem::is_regular_file(candidate, ec))
            return Utf8FromPath(candidate.lexically_normal());
    return {};
}

} // namespace

std::string FindBesideProgram(const std::string& name)
{
    return FindEntryBesideProgram(name, false);
}

std::string FindFolderBesideProgram(const std::string& name)
{
    return FindEntryBesideProgram(name, true);
}

bool LoadProgramIni(const char* verb, const Arguments& args, bool required, CIniFile& ini, std::ostream& err)
{
    std::string path = args.Value("--ini").value_or("");
    std::error_code ec;
    if (!path.empty() && !std::filesystem::is_regular_file(PathFromUtf8(path), ec)) {
        Failure(verb, path + ": no such configuration file", err);
        return false;
    }
    if (path.empty())
        path = FindBesideProgram("Program.ini");
    if (path.empty()) {
        if (required)
            Failure(verb, "no Program.ini beside program-cli or the desktop program; give --ini Program.ini", err);
        return !required;
    }
    if (!ini.Load(path, false, true)) {
        Failure(verb, path + ": cannot read the configuration file", err);
        return false;
    }
    return true;
}

bool WriteOutput(const char* verb, const std::string& path, const std::string& text, std::ostream& out,
                 std::ostream& err)
{
    if (path.empty()) {
        out << text;
        out.flush();
        if (!out) {
            Failure(verb, "cannot write to standard output", err);
            return false;
        }
        return true;
    }
    std::string error;
    if (WriteFileAtomically(path, text, &error))
        return true;
    Failure(verb, error, err);
    return false;
}

} // namespace cli
