#pragma once
// The log of a run of many radios: a CSV file, UTF-8, one line per radio
// taken, rewritten atomically after every radio so that it is complete
// whenever the run stops.

#include "core/link/FleetRun.h"

#include <ctime>
#include <string>
#include <vector>

inline constexpr const char* kFleetLogHeading = "Radio,Time,Port,Identity,Model,Result,Detail,Backup";

// "2026-12-10T09:14:03+01:00": local time with its offset from UTC.
std::string IsoLocalTime(std::time_t when);

// $XDG_DATA_HOME/radio-programmer/fleet-logs (with ~/.local/share for an
// unset or relative XDG_DATA_HOME); %LOCALAPPDATA%\radio-programmer\fleet-logs
// on Windows. Empty when there is no such place.
std::string FleetLogDirectory();
// "fleet-2026-12-10_09-14-03.csv" for a run started then (local time).
std::string FleetLogName(std::time_t start);
// The default log of a run started at start: the name in the directory.
std::string DefaultFleetLogPath(std::time_t start);

class FleetLog
{
public:
    explicit FleetLog(std::string path)
        : path_(std::move(path))
    {}

    const std::string& Path() const { return path_; }
    // The file's whole text: the heading and a line per record so far.
    std::string Text() const;
    // Adds the record and replaces the file with the new text (its folder
    // is made when missing). False, with error, when the file could not be
    // written; the record is kept for the next write either way.
    bool Add(const FleetRecord& record, std::string* error = nullptr);

private:
    std::string path_;
    std::vector<std::string> lines_;
};
