#pragma once
// A row of radios on one line, as a shop programs them: one radio answers
// until it has been written and read back (or read and left alone), stays
// connected a while, then the line is silent for a gap before the next
// radio answers. Each radio keeps its own memory and is saved to its own
// file. Times are the caller's; nothing here waits.

#include "RadioSimulator.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct RowRadio
{
    RadioSimulatorOptions options;
    std::string savePath; // where its memory goes; empty for nowhere
};

struct RowSettings
{
    std::vector<RowRadio> radios;
    std::string saveDirectory; // radio N is saved to DIR/radio-N.dat
    std::chrono::milliseconds stay{2000};
    std::chrono::milliseconds gap{1500};
};

// Takes the row options of the command line. Returns 1 when arg is one and
// was taken (value used), 0 when it is not a row option, -1 with error when
// its value is wrong. base gives the faults and answers of every radio.
int ParseRowOption(const std::string& arg, const std::string& value, RowSettings& row, std::string& error);
// The usage lines of the row options.
extern const char* const kRowUsage;

class RadioRow
{
public:
    using Clock = std::chrono::steady_clock;

    // base: the options every radio starts from (faults, answers); each
    // radio's memory, model and identity come from its --row.
    RadioRow(RowSettings settings, const RadioSimulatorOptions& base, Clock::time_point start, std::FILE* report);

    // The radio on the line now; a silent one during a gap and after the last.
    RadioSimulator& Current(Clock::time_point now);
    // The host sent byte, and the radio answered with reply.
    void Heard(std::uint8_t byte, const std::vector<std::uint8_t>& reply, Clock::time_point now);
    // The host has closed the line.
    void Closed(Clock::time_point now);
    // Stores the memories that changed.
    void Save();

private:
    struct Radio
    {
        std::unique_ptr<RadioSimulator> simulator;
        std::string savePath;
        Clock::time_point appeared{};
        Clock::time_point answered{};
        Clock::time_point verified{};
        bool hasAnswered = false;
        int writes = 0;            // sessions that sent the last frame
        bool written = false;      // a complete write since the last read
        bool lastReadSeen = false; // the last read request, awaiting the host's acknowledge
        bool leaving = false;
        Clock::time_point leaveAt{};
    };

    void Leave(Radio& radio);
    void Report(const Radio& radio);
    double Seconds(Clock::time_point t) const;

    RowSettings settings_;
    std::vector<Radio> radios_;
    std::size_t index_ = 0;
    RadioSimulator silent_;
    Clock::time_point start_;
    std::FILE* report_;
    std::uint8_t last_[4] = {};
};
