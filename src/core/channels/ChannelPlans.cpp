#include "core/channels/ChannelPlans.h"

#include "core/channels/ChannelCsv.h"
#include "core/channels/InterchangeCsv.h"
#include "core/util/Csv.h"
#include "core/util/UserDataDir.h"
#include "core/util/Utf8Path.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr const char* kSeparator = "\\";
#else
constexpr const char* kSeparator = "/";
#endif

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return LowerAscii(c); });
    return text;
}

bool IsBlankRecord(const CsvRecord& record)
{
    return std::all_of(record.fields.begin(), record.fields.end(), [](const std::string& f) { return f.empty(); });
}

// The plans of one folder by name.
void AddPlans(const std::string& directory, bool user, std::map<std::string, ChannelPlan>& plans)
{
    if (directory.empty())
        return;
    std::error_code error;
    for (fs::directory_iterator it(PathFromUtf8(directory), error), end; !error && it != end; it.increment(error)) {
        const fs::path file = it->path().filename();
        std::error_code failed;
        if (LowerAscii(Utf8FromPath(file.extension())) != ".csv" || !it->is_regular_file(failed) || failed)
            continue;
        ChannelPlan plan;
        plan.name = Utf8FromPath(file.stem());
        if (plan.name.empty())
            continue;
        plan.path = directory + kSeparator + Utf8FromPath(file);
        plan.user = user;
        std::string text;
        std::string ignored;
        if (ReadChannelCsvFile(plan.path, text, ignored) == ChannelCsvRead::Ok)
            plan.channels = CountPlanChannels(text);
        plans[plan.name] = plan;
    }
}

} // namespace

std::string UserPlansDirectory(std::string* note)
{
    return UserDataDirectory(kPlansFolder, note);
}

std::size_t CountPlanChannels(const std::string& csv)
{
    std::vector<CsvError> errors;
    std::vector<CsvRecord> records = ParseCsv(csv, DetectTableDelimiter(csv), errors);
    std::erase_if(records, IsBlankRecord);
    if (records.empty())
        return 0;
    const CsvRecord& first = records.front();
    const bool heading =
        IsInterchangeHeader(first) || std::any_of(first.fields.begin(), first.fields.end(), IsOwnCsvHeading);
    return records.size() - (heading ? 1 : 0);
}

std::vector<ChannelPlan> ListChannelPlans(const std::string& shippedDirectory, const std::string& userDirectory)
{
    std::map<std::string, ChannelPlan> byName;
    AddPlans(shippedDirectory, false, byName);
    AddPlans(userDirectory, true, byName);
    std::vector<ChannelPlan> plans;
    for (auto& [name, plan] : byName)
        plans.push_back(plan);
    std::stable_sort(plans.begin(), plans.end(), [](const ChannelPlan& a, const ChannelPlan& b) {
        return LowerAscii(a.name) < LowerAscii(b.name);
    });
    return plans;
}

std::optional<ChannelPlan> FindChannelPlan(const std::vector<ChannelPlan>& plans, const std::string& name)
{
    for (const ChannelPlan& plan : plans)
        if (plan.name == name)
            return plan;
    return std::nullopt;
}
