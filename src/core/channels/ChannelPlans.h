#pragma once
// Channel plans: ready channel lists a user lays onto a radio in one step
// (the sixteen PMR446 channels, the FRS channels). A plan is a channel list
// file in the program's own CSV layout, read by the same rules as Import
// Channels. The program ships its plans in a folder "plans" beside it; the
// user keeps their own in the per-user data folder. A plan's name is its
// file name without ".csv", and a user's plan of the same name as a shipped
// one takes its place.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The folder of plans beside the program, and under the per-user data folder.
inline constexpr const char* kPlansFolder = "plans";

struct ChannelPlan
{
    std::string name;
    std::string path;
    // The channel rows the file holds (its lines below the heading line,
    // blank ones not counted); 0 for a file that cannot be read.
    std::size_t channels = 0;
    bool user = false; // from the user's folder rather than shipped
};

// $XDG_DATA_HOME/radio-programmer/plans, on Windows the folder plans in
// %LOCALAPPDATA%\radio-programmer; empty when there is no home. note as
// UserDataDirectory.
std::string UserPlansDirectory(std::string* note = nullptr);

// The channel rows of a plan's text: its records below the heading line
// (without one, every record), blank lines not counted.
std::size_t CountPlanChannels(const std::string& csv);

// The plans of both folders (either may be empty or missing), ordered by
// name without regard to ASCII case; a user's plan hides a shipped plan of
// the same name. Only regular files ending in ".csv" (any case) are plans.
// A file that cannot be read is still listed, with 0 channels, so that
// choosing it reports why.
std::vector<ChannelPlan> ListChannelPlans(const std::string& shippedDirectory, const std::string& userDirectory);

// The plan of that exact name.
std::optional<ChannelPlan> FindChannelPlan(const std::vector<ChannelPlan>& plans, const std::string& name);
