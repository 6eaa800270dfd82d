#include "RadioRow.h"

#include "core/document/DataFile.h"

#include <cerrno>
#include <cstdlib>

namespace {

RadioSimulatorOptions Silent()
{
    RadioSimulatorOptions options;
    options.silent = true;
    return options;
}

bool ParseMilliseconds(const std::string& text, std::chrono::milliseconds& out)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || value > 3'600'000)
        return false;
    out = std::chrono::milliseconds(value);
    return true;
}

} // namespace

const char* const kRowUsage = "  --row FILE.dat[,MODEL[,IDENT]]\n"
                              "                        a radio of a row, with that memory (and model code and\n"
                              "                        identity, default F5 and P3207); repeat for each radio.\n"
                              "                        The first answers at once; each answers until it has\n"
                              "                        been written and read back (or read and not written),\n"
                              "                        stays connected for --stay, then the line is silent for\n"
                              "                        --gap before the next answers; after the last, silence.\n"
                              "                        A line \"radio N: appeared A, answered B, verified C,\n"
                              "                        writes W\" (seconds since the start) is printed when a\n"
                              "                        radio has been verified, or when it leaves unwritten\n"
                              "                        (verified -1). --image, --ident and --model are not used\n"
                              "  --row-save DIR        save radio N's memory to DIR/radio-N.dat after every\n"
                              "                        write session\n"
                              "  --stay MS             how long a radio stays after its last read (default 2000)\n"
                              "  --gap MS              silence between two radios (default 1500)\n";

int ParseRowOption(const std::string& arg, const std::string& value, RowSettings& row, std::string& error)
{
    if (arg == "--row") {
        RowRadio radio;
        std::string file = value;
        std::string model;
        std::string identity;
        if (const auto comma = file.find(','); comma != std::string::npos) {
            model = file.substr(comma + 1);
            file.resize(comma);
            if (const auto second = model.find(','); second != std::string::npos) {
                identity = model.substr(second + 1);
                model.resize(second);
            }
        }
        std::string why;
        if (LoadDataFile(file, radio.options.memory, &why) != DataFileResult::Ok) {
            error = file + ": " + (why.empty() ? "cannot load" : why);
            return -1;
        }
        if (!model.empty()) {
            char* end = nullptr;
            const unsigned long code = std::strtoul(model.c_str(), &end, 16);
            if (*end != '\0' || code > 0xFF) {
                error = "--row takes a hexadecimal model code after the file";
                return -1;
            }
            radio.options.model = static_cast<std::uint8_t>(code);
        }
        if (!identity.empty())
            radio.options.identity = identity;
        row.radios.push_back(std::move(radio));
        return 1;
    }
    if (arg == "--row-save") {
        row.saveDirectory = value;
        return 1;
    }
    if (arg == "--stay" || arg == "--gap") {
        if (!ParseMilliseconds(value, arg == "--stay" ? row.stay : row.gap)) {
            error = arg + " takes milliseconds";
            return -1;
        }
        return 1;
    }
    return 0;
}

RadioRow::RadioRow(RowSettings settings, const RadioSimulatorOptions& base, Clock::time_point start, std::FILE* report)
    : settings_(std::move(settings))
    , silent_(Silent())
    , start_(start)
    , report_(report)
{
    int number = 0;
    for (const RowRadio& row : settings_.radios) {
        RadioSimulatorOptions options = base;
        options.memory = row.options.memory;
        options.model = row.options.model;
        options.identity = row.options.identity;
        Radio radio;
        radio.simulator = std::make_unique<RadioSimulator>(options);
        ++number;
        if (!settings_.saveDirectory.empty())
            radio.savePath = settings_.saveDirectory + "/radio-" + std::to_string(number) + ".dat";
        radios_.push_back(std::move(radio));
    }
    if (!radios_.empty())
        radios_.front().appeared = start;
}

RadioSimulator& RadioRow::Current(Clock::time_point now)
{
    while (index_ < radios_.size()) {
        Radio& radio = radios_[index_];
        if (now < radio.appeared)
            return silent_;
        if (!radio.leaving || now < radio.leaveAt)
            return *radio.simulator;
        Leave(radio);
        ++index_;
        if (index_ < radios_.size())
            radios_[index_].appeared = radio.leaveAt + settings_.gap;
    }
    return silent_;
}

void RadioRow::Heard(std::uint8_t byte, const std::vector<std::uint8_t>& reply, Clock::time_point now)
{
    if (index_ >= radios_.size() || now < radios_[index_].appeared)
        return;
    Radio& radio = radios_[index_];
    if (!reply.empty() && !radio.hasAnswered) {
        radio.hasAnswered = true;
        radio.answered = now;
    }
    // The host's last four bytes tell which frame it asks for. Sessions
    // are told apart by what they move, not by the line being closed: a
    // host may open the line again before the close has been seen here.
    const bool readEnded = radio.lastReadSeen && byte == 0x06;
    radio.lastReadSeen = false;
    std::copy(last_ + 1, last_ + 4, last_);
    last_[3] = byte;
    const bool lastFrame = last_[1] == 0x03 && last_[2] == 0x28 && last_[3] == 0x08;
    if (last_[0] == 'W' && last_[3] == 0x08)
        radio.leaving = false; // a write is under way
    if (lastFrame && last_[0] == 'W') {
        ++radio.writes;
        radio.written = true;
    }
    if (lastFrame && last_[0] == 'R')
        radio.lastReadSeen = true;
    if (readEnded) {
        // A complete read: the first, or the one that verifies a write.
        if (radio.written) {
            radio.verified = now;
            Report(radio);
        }
        radio.written = false;
        radio.leaving = true;
        radio.leaveAt = now + settings_.stay;
    }
}

void RadioRow::Closed(Clock::time_point)
{
    std::fill(last_, last_ + 4, 0);
    Save();
}

void RadioRow::Save()
{
    for (Radio& radio : radios_) {
        if (radio.savePath.empty() || !radio.simulator->MemoryChanged())
            continue;
        std::string error;
        if (SaveDataFile(radio.savePath, radio.simulator->Memory(), &error) == DataFileResult::Ok)
            radio.simulator->MemorySaved();
        else
            std::fprintf(stderr, "radio-sim: %s\n", error.c_str());
    }
}

void RadioRow::Leave(Radio& radio)
{
    Save();
    if (radio.writes == 0)
        Report(radio);
}

void RadioRow::Report(const Radio& radio)
{
    if (!report_)
        return;
    const std::size_t number = static_cast<std::size_t>(&radio - radios_.data()) + 1;
    std::fprintf(report_, "radio %zu: appeared %.3f, answered %.3f, verified %.3f, writes %d\n", number,
                 Seconds(radio.appeared), radio.hasAnswered ? Seconds(radio.answered) : -1.0,
                 radio.writes > 0 ? Seconds(radio.verified) : -1.0, radio.writes);
    std::fflush(report_);
}

double RadioRow::Seconds(Clock::time_point t) const
{
    return std::chrono::duration<double>(t - start_).count();
}
