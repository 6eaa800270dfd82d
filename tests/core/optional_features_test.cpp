#include "core/settings/OptionalFeatures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace ImageMap;

// The entry a list shows for a settings index, "" for no selection.
std::string Shown(FeatureList list, int index, bool chinese = false)
{
    const std::vector<std::string> items = FeatureListItems(list, chinese);
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)] : "";
}

TEST(FeatureLists, EntriesAndOrderPerLanguage)
{
    struct Case
    {
        FeatureList list;
        bool chinese;
        std::size_t count;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {FeatureList::TimeOutTime, false, 40, "15s", "600s"},
        {FeatureList::TimeOutTime, true, 40, "15s", "600s"},
        {FeatureList::SquelchLevel, false, 10, "0", "9"},
        {FeatureList::PriorityChannel, false, 17, "Off", "16"},
        {FeatureList::PriorityChannel, true, 17, "关", "16"},
        {FeatureList::VoiceAnnunciation, false, 3, "Off", "English"},
        {FeatureList::VoiceAnnunciation, true, 3, "关", "英文"},
        {FeatureList::VoxGainLevel, false, 8, "1", "8"},
        {FeatureList::VoxDelayTime, true, 6, "0.3s", "3.0s"},
        {FeatureList::SideKey, false, 4, "None", "Power select"},
        {FeatureList::SideKey, true, 4, "无", "功率选择"},
        {FeatureList::Vox, true, 2, "On", "Off"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> items = FeatureListItems(c.list, c.chinese);
        ASSERT_EQ(items.size(), c.count) << c.first;
        EXPECT_EQ(items.front(), c.first);
        EXPECT_EQ(items.back(), c.last);
    }
    EXPECT_EQ(FeatureListItems(FeatureList::TimeOutTime, false)[2], "45s");
    EXPECT_EQ(FeatureListItems(FeatureList::SideKey, false)[2], "Monitor Momentary");
    EXPECT_EQ(FeatureListItems(FeatureList::SideKey, true)[2], "监听瞬时");
    EXPECT_EQ(FeatureListItems(FeatureList::VoiceAnnunciation, true)[1], "中文");
}

TEST(FeatureSettings, NewImageShowsTheDefaults)
{
    const FeatureSettings s = LoadFeatureSettings(MakeNewImage(), false);
    EXPECT_EQ(Shown(FeatureList::SideKey, s.sideKey), "None");
    EXPECT_EQ(Shown(FeatureList::VoiceAnnunciation, s.voiceAnnunciation), "Off");
    EXPECT_EQ(Shown(FeatureList::TimeOutTime, s.timeOutTime), "600s");
    EXPECT_EQ(Shown(FeatureList::SquelchLevel, s.squelchLevel), "4");
    EXPECT_EQ(Shown(FeatureList::Vox, s.vox), "Off");
    EXPECT_EQ(Shown(FeatureList::VoxGainLevel, s.voxGainLevel), "5");
    EXPECT_EQ(Shown(FeatureList::VoxDelayTime, s.voxDelayTime), "0.3s");
    EXPECT_EQ(Shown(FeatureList::PriorityChannel, s.priorityChannel), "Off");
    EXPECT_FALSE(s.batterySaver);
    EXPECT_FALSE(s.beep);
    EXPECT_EQ(s.transmitDelay, "Off");
    EXPECT_EQ(LoadFeatureSettings(MakeNewImage(), true).transmitDelay, "关");

    // Storing what was loaded changes nothing.
    RadioImage image = MakeNewImage();
    EXPECT_FALSE(StoreFeatureSettings(s, false, image));
    EXPECT_EQ(image, MakeNewImage());
}

TEST(FeatureSettings, TransmitDelayBytesAndTexts)
{
    struct Load
    {
        std::uint8_t low, high;
        const char* shown;
    };
    const Load loads[] = {
        {0x0F, 0x00, "1.5"}, {0x01, 0x00, "0.1"}, {0x08, 0x07, "180.0"}, {0x09, 0x07, "Off"},
        {0x00, 0x00, "Off"}, {0xFF, 0xFF, "Off"}, {0xD0, 0x07, "Off"},
    };
    for (const Load& c : loads) {
        RadioImage image = MakeNewImage();
        image[kTransmitDelayLow] = c.low;
        image[kTransmitDelayHigh] = c.high;
        EXPECT_EQ(LoadFeatureSettings(image, false).transmitDelay, c.shown) << int(c.low) << " " << int(c.high);
    }

    struct Store
    {
        bool chinese;
        const char* typed;
        std::uint8_t low, high;
    };
    const Store stores[] = {
        {false, "12.5", 0x7D, 0x00},  {false, "12.34", 0x7B, 0x00}, {false, "1.5", 0x0F, 0x00},
        {false, "180.0", 0x08, 0x07}, {false, "200", 0x00, 0x00},   {false, "", 0x00, 0x00},
        {false, "Off", 0x00, 0x00},   {true, "关", 0x00, 0x00},     {false, "25.6", 0x00, 0x01},
    };
    for (const Store& c : stores) {
        RadioImage image = MakeNewImage();
        image[kTransmitDelayLow] = 0x0F;
        FeatureSettings s = LoadFeatureSettings(image, c.chinese);
        s.transmitDelay = c.typed;
        StoreFeatureSettings(s, c.chinese, image);
        EXPECT_EQ(image[kTransmitDelayLow], c.low) << c.typed;
        EXPECT_EQ(image[kTransmitDelayHigh], c.high) << c.typed;
    }
}

TEST(FeatureSettings, ChoicesStoreTheirBytes)
{
    RadioImage image = MakeNewImage();
    image[kTimeOutTimer] = 0x02;
    FeatureSettings s = LoadFeatureSettings(image, false);
    EXPECT_EQ(Shown(FeatureList::TimeOutTime, s.timeOutTime), "30s");

    s.timeOutTime = 2; // 45s
    s.sideKey = 3;
    s.voiceAnnunciation = 2;
    s.squelchLevel = 9;
    s.vox = 0; // On
    s.voxGainLevel = 7;
    s.voxDelayTime = 5;
    s.priorityChannel = 16;
    s.batterySaver = true;
    s.beep = true;
    RadioImage before = image;
    EXPECT_TRUE(StoreFeatureSettings(s, false, image));
    const std::pair<std::size_t, std::uint8_t> expected[] = {
        {kTimeOutTimer, 0x03}, {kSideKey, 3},  {kVoicePrompt, 2},      {kSquelchLevel, 9}, {kVox, 1},
        {kVoxGain, 8},         {kVoxDelay, 5}, {kPriorityChannel, 16}, {kBatterySaver, 1}, {kBeep, 1},
    };
    for (const auto& [offset, value] : expected) {
        EXPECT_EQ(image[offset], value) << std::hex << offset;
        before[offset] = value;
    }
    EXPECT_EQ(image, before); // nothing else moved
}

TEST(FeatureSettings, ErasedRadioLoadsAndStores)
{
    RadioImage image;
    image.fill(0xFF);
    const FeatureSettings s = LoadFeatureSettings(image, false);
    EXPECT_EQ(Shown(FeatureList::SideKey, s.sideKey), "Monitor Momentary");
    for (int index :
         {s.timeOutTime, s.voxGainLevel, s.vox, s.squelchLevel, s.voiceAnnunciation, s.voxDelayTime, s.priorityChannel})
        EXPECT_EQ(index, -1);
    EXPECT_TRUE(s.batterySaver);
    EXPECT_TRUE(s.beep);
    EXPECT_EQ(s.transmitDelay, "Off");

    EXPECT_TRUE(StoreFeatureSettings(s, false, image));
    const std::pair<std::size_t, std::uint8_t> expected[] = {
        {kSideKey, 0x02},      {kTimeOutTimer, 0x00}, {kVoxGain, 0x00},          {kVox, 0x00},
        {kVoicePrompt, 0xFF},  {kSquelchLevel, 0xFF}, {kVoxDelay, 0xFF},         {kPriorityChannel, 0xFF},
        {kBatterySaver, 0x01}, {kBeep, 0x01},         {kTransmitDelayLow, 0x00}, {kTransmitDelayHigh, 0x00},
    };
    for (const auto& [offset, value] : expected)
        EXPECT_EQ(image[offset], value) << std::hex << offset;
}

TEST(FeatureSettings, BytesBeyondTheListsSelectNothing)
{
    struct Case
    {
        std::size_t offset;
        std::uint8_t byte;
        int FeatureSettings::*member;
        int index;
    };
    const Case cases[] = {
        {kSideKey, 4, &FeatureSettings::sideKey, 2},
        {kTimeOutTimer, 41, &FeatureSettings::timeOutTime, -1},
        {kTimeOutTimer, 0, &FeatureSettings::timeOutTime, -1},
        {kVox, 1, &FeatureSettings::vox, 0},
        {kVox, 2, &FeatureSettings::vox, -1},
        {kVoxGain, 9, &FeatureSettings::voxGainLevel, -1},
        {kPriorityChannel, 17, &FeatureSettings::priorityChannel, -1},
        {kSquelchLevel, 10, &FeatureSettings::squelchLevel, -1},
    };
    for (const Case& c : cases) {
        RadioImage image = MakeNewImage();
        image[c.offset] = c.byte;
        EXPECT_EQ(LoadFeatureSettings(image, false).*c.member, c.index) << std::hex << c.offset << " " << int(c.byte);
    }
}

} // namespace
