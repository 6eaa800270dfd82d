// Channel plans: the shipped PMR446 and FRS plans give the channels their
// service defines, byte for byte; the user's plans are listed beside the
// shipped ones and hide a shipped plan of the same name.

#include <gtest/gtest.h>

#include "../TestSystem.h"
#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelCsv.h"
#include "core/channels/ChannelPlans.h"
#include "core/channels/ChannelRows.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Four BCD bytes, lowest digit pair first, of a frequency in 10 Hz units.
std::vector<std::uint8_t> Bcd(std::int32_t tenHertz)
{
    std::vector<std::uint8_t> bytes;
    for (int pair = 0; pair < 4; ++pair) {
        const int digits = tenHertz % 100;
        bytes.push_back(static_cast<std::uint8_t>((digits / 10) << 4 | digits % 10));
        tenHertz /= 100;
    }
    return bytes;
}

struct PlanChannel
{
    std::int32_t tenHertz;
    bool highPower;
};

std::vector<PlanChannel> Pmr446()
{
    std::vector<PlanChannel> channels;
    for (int n = 1; n <= 16; ++n)
        channels.push_back({44600625 + (n - 1) * 1250, false}); // 446.00625 MHz + (n-1) x 12.5 kHz
    return channels;
}

std::vector<PlanChannel> Frs()
{
    const std::int32_t mhz[] = {46256250, 46258750, 46261250, 46263750, 46266250, 46268750, 46271250, 46756250,
                                46758750, 46761250, 46763750, 46766250, 46768750, 46771250, 46255000, 46257500};
    std::vector<PlanChannel> channels;
    for (int n = 1; n <= 16; ++n)
        channels.push_back({mhz[n - 1], n <= 7 || n >= 15}); // 8-14 are limited to 0.5 W
    return channels;
}

std::string ReadText(const fs::path& path)
{
    std::string text;
    std::string error;
    EXPECT_EQ(ReadChannelCsvFile(path.string(), text, error), ChannelCsvRead::Ok) << error;
    return text;
}

TEST(ChannelPlans, ShippedPlansGiveTheServiceChannels)
{
    struct Case
    {
        const char* file;
        std::vector<PlanChannel> channels;
        FrequencyBand band; // the band the radio type covers
    };
    const Case cases[] = {{"PMR446.csv", Pmr446(), {40000000, 47000000}}, {"FRS.csv", Frs(), {40000000, 48000000}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string text = ReadText(fs::path(PLANS_SOURCE_DIR) / c.file);
        EXPECT_EQ(CountPlanChannels(text), 16u);
        // Laid onto an image whose channels hold something else entirely.
        RadioImage base = MakeNewImage();
        for (int channel = 1; channel <= 16; ++channel) {
            EncodeFrequency(base, channel, FrequencySide::Receive, "450.00000");
            EncodeFrequency(base, channel, FrequencySide::Transmit, "455.00000");
            EncodeTone(base, channel, ToneSide::Decode, "67.0");
            EncodeTone(base, channel, ToneSide::Encode, "D023N");
            EncodeBandwidth(base, channel, "Wide");
            EncodeScan(base, channel, "No");
            EncodeBusyLock(base, channel, "Carrier");
        }
        RadioImage result{};
        std::vector<CsvError> errors;
        ASSERT_TRUE(ImportChannelsCsv(text, base, c.band, result, errors)) << FormatCsvError(errors.front());
        for (int channel = 1; channel <= 16; ++channel) {
            SCOPED_TRACE(channel);
            const PlanChannel& expected = c.channels[static_cast<std::size_t>(channel - 1)];
            const ChannelRecord record = ReadChannelRecord(result, channel);
            const std::vector<std::uint8_t> frequency = Bcd(expected.tenHertz);
            EXPECT_EQ(std::vector<std::uint8_t>(record.bytes.begin(), record.bytes.begin() + 4), frequency);
            EXPECT_EQ(std::vector<std::uint8_t>(record.bytes.begin() + 4, record.bytes.begin() + 8), frequency);
            // No tones: both words FF FF.
            EXPECT_EQ(std::vector<std::uint8_t>(record.bytes.begin() + 8, record.bytes.begin() + 12),
                      std::vector<std::uint8_t>(4, 0xFF));
            const std::uint8_t widthPower = record.bytes[ImageMap::kRecWidthPower];
            EXPECT_EQ(widthPower & 0x10, 0) << "narrow";
            EXPECT_EQ((widthPower & 0x20) != 0, expected.highPower);
            EXPECT_EQ(DecodeBusyLock(result, channel, false), "Off");
            EXPECT_TRUE(record.scan);
        }
        // Outside the band the plan is refused as a whole.
        errors.clear();
        RadioImage untouched = base;
        EXPECT_FALSE(ImportChannelsCsv(text, base, FrequencyBand{13600000, 17400000}, untouched, errors));
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(FormatCsvError(errors.front()).substr(0, 4), "2:2:");
        EXPECT_EQ(untouched, base);
    }
}

class UserPlans : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("channel-plans-" + std::to_string(testsystem::ProcessId()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "shipped");
        fs::create_directories(root_ / "user");
    }
    void TearDown() override { fs::remove_all(root_); }

    void Write(const std::string& folder, const std::string& name, const std::string& text)
    {
        std::ofstream(root_ / folder / name, std::ios::binary) << text;
    }

    fs::path root_;
};

TEST_F(UserPlans, UserPlansAreListedAndHideShippedOnesOfTheSameName)
{
    fs::copy_file(fs::path(PLANS_SOURCE_DIR) / "PMR446.csv", root_ / "shipped" / "PMR446.csv");
    fs::copy_file(fs::path(PLANS_SOURCE_DIR) / "FRS.csv", root_ / "shipped" / "FRS.csv");
    // Three channels with a heading, a blank line between them.
    Write("user", "PMR446.csv", "CH,Rx Frequency\n1,446.00625\n\n2,446.01875\n3,446.03125\n");
    // No heading line: every row is a channel; ';' as spreadsheets write it.
    Write("user", "marine.CSV", "1;156.80000;156.80000;None;None;Wide;Yes;Off;High\n2;156.45000;;;;;;;\n");
    Write("user", "notes.txt", "1,446.00625\n");
    fs::create_directories(root_ / "user" / "folder.csv");

    const std::vector<ChannelPlan> plans = ListChannelPlans((root_ / "shipped").string(), (root_ / "user").string());
    ASSERT_EQ(plans.size(), 3u);
    EXPECT_EQ(plans[0].name, "FRS");
    EXPECT_FALSE(plans[0].user);
    EXPECT_EQ(plans[0].channels, 16u);
    EXPECT_EQ(plans[1].name, "marine");
    EXPECT_EQ(plans[1].channels, 2u);
    EXPECT_EQ(plans[2].name, "PMR446");
    EXPECT_TRUE(plans[2].user);
    EXPECT_EQ(plans[2].channels, 3u);
    EXPECT_EQ(fs::path(plans[2].path), root_ / "user" / "PMR446.csv");

    const auto found = FindChannelPlan(plans, "PMR446");
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->user);
    EXPECT_FALSE(FindChannelPlan(plans, "pmr446"));
    EXPECT_FALSE(FindChannelPlan(plans, "notes"));

    // Without a user folder, or with one that does not exist, the shipped
    // plans are all there is.
    for (const std::string& user : {std::string(), (root_ / "missing").string()}) {
        const std::vector<ChannelPlan> shipped = ListChannelPlans((root_ / "shipped").string(), user);
        ASSERT_EQ(shipped.size(), 2u);
        EXPECT_FALSE(shipped[1].user);
        EXPECT_EQ(shipped[1].channels, 16u);
    }
}

#ifndef _WIN32
TEST_F(UserPlans, UserFolderFollowsXdgDataHome)
{
    const std::string saved = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    testsystem::SetEnv("XDG_DATA_HOME", "/x/data");
    EXPECT_EQ(UserPlansDirectory(), "/x/data/radio-programmer/plans");
    if (saved.empty())
        testsystem::UnsetEnv("XDG_DATA_HOME");
    else
        testsystem::SetEnv("XDG_DATA_HOME", saved.c_str());
}
#endif

} // namespace
