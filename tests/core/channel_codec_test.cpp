#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "core/channels/ChannelCodec.h"

namespace {

using Bytes4 = std::array<std::uint8_t, 4>;

RadioImage FilledImage(std::uint8_t fill)
{
    RadioImage image;
    image.fill(fill);
    return image;
}

Bytes4 RxBytes(const RadioImage& image, int channel)
{
    const std::size_t at = ImageMap::ChannelOffset(channel);
    return {image[at], image[at + 1], image[at + 2], image[at + 3]};
}

void SetRxBytes(RadioImage& image, int channel, const Bytes4& bytes)
{
    for (std::size_t i = 0; i < 4; ++i)
        image[ImageMap::ChannelOffset(channel) + i] = bytes[i];
}

std::array<std::uint8_t, 2> DecodeToneBytes(const RadioImage& image, int channel)
{
    const std::size_t at = ImageMap::ChannelOffset(channel) + ImageMap::kRecDecodeTone;
    return {image[at], image[at + 1]};
}

TEST(ChannelCodec, FrequencyTextsEncodeToBcdBytes)
{
    struct Case
    {
        const char* text;
        Bytes4 bytes;
    };
    const Case cases[] = {
        {"146.525", {0x00, 0x25, 0x65, 0x14}},   {"146.52500", {0x00, 0x25, 0x65, 0x14}},
        {" 146.525", {0x00, 0x25, 0x65, 0x14}},  {"136.00625", {0x25, 0x06, 0x60, 0x13}},
        {"999.99999", {0x99, 0x99, 0x99, 0x99}}, {"0.00001", {0x01, 0x00, 0x00, 0x00}},
        {"", {0xFF, 0xFF, 0xFF, 0xFF}},          {"abc", {0xFF, 0xFF, 0xFF, 0xFF}},
        {"-146.525", {0xFF, 0xFF, 0xFF, 0xFF}},  {"1000", {0x00, 0x00, 0x00, 0xA0}},
    };
    for (const Case& c : cases) {
        RadioImage image = FilledImage(0x5A);
        EncodeFrequency(image, 3, FrequencySide::Receive, c.text);
        EXPECT_EQ(RxBytes(image, 3), c.bytes) << c.text;
        EXPECT_EQ(image[ImageMap::ChannelOffset(3) + 4], 0x5A) << "transmit side untouched";
    }
}

TEST(ChannelCodec, FrequencyBytesDecodeToText)
{
    struct Case
    {
        Bytes4 bytes;
        const char* text;
    };
    const Case cases[] = {
        {{0x00, 0x25, 0x65, 0x14}, "146.52500"},  {{0x25, 0x06, 0x60, 0x13}, "136.00625"},
        {{0x99, 0x99, 0x99, 0x00}, ""},           {{0x00, 0x00, 0x00, 0xFF}, ""},
        {{0x00, 0x00, 0x00, 0x1A}, "200.00000"},  {{0xFF, 0xFF, 0xFF, 0xFE}, "1656.66665"},
        {{0x00, 0x00, 0x00, 0xA0}, "1000.00000"},
    };
    for (const Case& c : cases) {
        RadioImage image = FilledImage(0x00);
        SetRxBytes(image, 16, c.bytes);
        EXPECT_EQ(DecodeFrequency(image, 16, FrequencySide::Receive), c.text);
    }
}

TEST(ChannelCodec, EveryFiveDecimalFrequencySurvivesTheRoundTrip)
{
    RadioImage image = FilledImage(0xFF);
    for (std::int64_t v = 1000000; v <= 99999999; v += 997) {
        char text[32];
        std::snprintf(text, sizeof text, "%3.5f", static_cast<double>(v) / 100000);
        EncodeFrequency(image, 1, FrequencySide::Transmit, text);
        ASSERT_EQ(DecodeFrequency(image, 1, FrequencySide::Transmit), text);
    }
}

TEST(ChannelCodec, ToneTextsEncodeToToneWords)
{
    struct Case
    {
        const char* text;
        std::uint8_t low;
        std::uint8_t high;
    };
    const Case cases[] = {
        {"67.0", 0x9E, 0x02},  {"254.1", 0xED, 0x09},  {"159.8", 0x3E, 0x06},
        {"D023N", 0x13, 0x28}, {"D754I", 0xEC, 0xA9},  {"D000N", 0x00, 0x28},
        {"D411N", 0x09, 0x29}, {"D999N", 0x00, 0x29},  {"None", 0xFF, 0xFF},
        {"无", 0xFF, 0xFF},    {"", 0xFF, 0xFF},       {"-67.0", 0xFF, 0xFF},
        {"d023n", 0xFF, 0xFF}, {"6553.6", 0x00, 0x00}, {"D99999999999N", 0x00, 0x29},
    };
    for (const Case& c : cases) {
        RadioImage image = FilledImage(0x00);
        EncodeTone(image, 5, ToneSide::Decode, c.text);
        EXPECT_EQ(DecodeToneBytes(image, 5), (std::array<std::uint8_t, 2>{c.low, c.high})) << c.text;
    }
}

TEST(ChannelCodec, ToneWordsDecodeToText)
{
    struct Case
    {
        std::uint8_t low;
        std::uint8_t high;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {0x9E, 0x02, "67.0"},  {0x13, 0x28, "D023N"}, {0xEC, 0xA9, "D754I"},      {0x00, 0x28, "D000N"},
        {0x14, 0xA8, "D000I"}, {0x05, 0x01, "26.1"},  {0x12, 0x00, std::nullopt}, {0x12, 0xFF, std::nullopt},
    };
    for (const Case& c : cases) {
        RadioImage image = FilledImage(0x00);
        const std::size_t at = ImageMap::ChannelOffset(2) + ImageMap::kRecEncodeTone;
        image[at] = c.low;
        image[at + 1] = c.high;
        EXPECT_EQ(DecodeTone(image, 2, ToneSide::Encode), c.text) << int{c.low} << " " << int{c.high};
    }
}

TEST(ChannelCodec, EveryToneListEntrySurvivesTheRoundTrip)
{
    for (bool chinese : {false, true}) {
        const auto& list = ToneList(chinese);
        ASSERT_EQ(list.size(), 219u);
        EXPECT_EQ(list[0], NoToneText(chinese));
        EXPECT_EQ(list[1], "67.0");
        EXPECT_EQ(list[50], "254.1");
        EXPECT_EQ(list[51], "D023N");
        EXPECT_EQ(list[135], "D023I");
        EXPECT_EQ(list[218], "D754I");
        RadioImage image = FilledImage(0x00);
        for (const std::string& entry : list) {
            EncodeTone(image, 7, ToneSide::Encode, entry);
            EXPECT_EQ(DecodeTone(image, 7, ToneSide::Encode).value_or(NoToneText(chinese)), entry);
        }
    }
    EXPECT_TRUE(IsDcsCode(17));
    EXPECT_TRUE(IsDcsCode(754));
    EXPECT_FALSE(IsDcsCode(0));
    EXPECT_FALSE(IsDcsCode(24));
}

TEST(ChannelCodec, SettingsChangeOnlyTheirOwnBits)
{
    struct Case
    {
        void (*encode)(RadioImage&, int, const std::string&);
        const char* text;
        std::size_t recordByte;
        std::uint8_t before;
        std::uint8_t after;
    };
    const Case cases[] = {
        {EncodeBandwidth, "Narrow", 13, 0xFF, 0xEF}, {EncodeBandwidth, "窄", 13, 0xFF, 0xEF},
        {EncodeBandwidth, "", 13, 0x00, 0x10},       {EncodeBandwidth, "wide", 13, 0x00, 0x10},
        {EncodePower, "Low", 13, 0xFF, 0xDF},        {EncodePower, "低", 13, 0xFF, 0xDF},
        {EncodePower, "x", 13, 0x00, 0x20},          {EncodeBusyLock, "Off", 12, 0xFF, 0xE7},
        {EncodeBusyLock, "载波", 12, 0xFF, 0xEF},    {EncodeBusyLock, "QT/DQT", 12, 0x18, 0x10},
        {EncodeBusyLock, "", 12, 0x00, 0x10},        {EncodeBusyLock, "关", 12, 0x08, 0x00},
    };
    for (const Case& c : cases) {
        RadioImage image = FilledImage(0x77);
        image[ImageMap::ChannelOffset(4) + c.recordByte] = c.before;
        const RadioImage original = image;
        c.encode(image, 4, c.text);
        EXPECT_EQ(image[ImageMap::ChannelOffset(4) + c.recordByte], c.after) << c.text;
        image[ImageMap::ChannelOffset(4) + c.recordByte] = c.before;
        EXPECT_EQ(image, original) << c.text;
    }
}

TEST(ChannelCodec, SettingsDecodeInBothLanguages)
{
    RadioImage image = FilledImage(0x00);
    const std::size_t record = ImageMap::ChannelOffset(1);
    EXPECT_EQ(DecodeBandwidth(image, 1, false), "Narrow");
    EXPECT_EQ(DecodePower(image, 1, true), "低");
    EXPECT_EQ(DecodeBusyLock(image, 1, true), "关");
    image[record + 13] = 0x30;
    image[record + 12] = 0x18;
    EXPECT_EQ(DecodeBandwidth(image, 1, true), "宽");
    EXPECT_EQ(DecodePower(image, 1, false), "High");
    EXPECT_EQ(DecodeBusyLock(image, 1, true), "QT/DQT");
    image[record + 12] = 0xE7;
    EXPECT_EQ(DecodeBusyLock(image, 1, false), "Off");
    image[record + 12] = 0x08;
    EXPECT_EQ(DecodeBusyLock(image, 1, true), "载波");
}

TEST(ChannelCodec, ScanBitsFollowTheChannelNumber)
{
    struct Case
    {
        int channel;
        std::size_t byte;
        std::uint8_t mask;
    };
    const Case cases[] = {{1, 0x17E, 0x01}, {8, 0x17E, 0x80}, {9, 0x17F, 0x01}, {16, 0x17F, 0x80}};
    for (const Case& c : cases) {
        RadioImage image = FilledImage(0x00);
        EncodeScan(image, c.channel, "是");
        EXPECT_EQ(image[c.byte], c.mask);
        EXPECT_EQ(DecodeScan(image, c.channel, false), "Yes");
        EncodeScan(image, c.channel, "yes");
        EXPECT_EQ(image[c.byte], 0x00);
        EXPECT_EQ(DecodeScan(image, c.channel, true), "否");
    }
}

TEST(ChannelCodec, ChannelNumbersOutsideTheTableTouchNothing)
{
    RadioImage image = FilledImage(0x12);
    const RadioImage original = image;
    for (int channel : {0, 17, -1, 64}) {
        EncodeFrequency(image, channel, FrequencySide::Receive, "146.525");
        EncodeTone(image, channel, ToneSide::Decode, "D023N");
        EncodeScan(image, channel, "Yes");
        EncodeBusyLock(image, channel, "Off");
        EXPECT_EQ(DecodeFrequency(image, channel, FrequencySide::Transmit), "");
        EXPECT_EQ(DecodeTone(image, channel, ToneSide::Encode), std::nullopt);
    }
    EXPECT_EQ(image, original);
}

} // namespace
