// What differs between two radio images, as a user reads it.

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelTable.h"
#include "core/document/ImageComparison.h"

#include <gtest/gtest.h>

namespace {

// A new image with channel 3 given a receive and transmit frequency.
RadioImage WithChannel3(const char* rx, const char* tx)
{
    RadioImage image = MakeNewImage();
    ChannelTable table = NewChannelTable(false);
    ImageToTable(image, 0, false, table);
    table[3][kColRxFrequency] = rx;
    table[3][kColTxFrequency] = tx;
    TableToImage(table, 0, image);
    return image;
}

TEST(ImageComparison, ListsChannelsFeaturesIndexesAndOtherBytes)
{
    const RadioImage base = WithChannel3("145.50000", "145.50000");
    struct Case
    {
        const char* name;
        void (*change)(RadioImage&);
        std::string text; // without --bytes
        std::size_t bytes;
    };
    const Case cases[] = {
        {"equal", [](RadioImage&) {}, "", 0},
        {"a channel's receive frequency", [](RadioImage& image) { image = WithChannel3("146.52000", "145.50000"); },
         "CH 3 Rx Frequency: 145.50000 -> 146.52000\n", 2},
        {"a deleted channel: every field goes", [](RadioImage& image) { image = WithChannel3("", ""); },
         "CH 3 Rx Frequency: 145.50000 -> (empty)\nCH 3 Tx Frequency: 145.50000 -> (empty)\n"
         "CH 3 QT/DQT Dec: None -> (empty)\nCH 3 QT/DQT Enc: None -> (empty)\nCH 3 W/N: Wide -> (empty)\n"
         "CH 3 Scan: No -> (empty)\nCH 3 Busy Lock: QT/DQT -> (empty)\nCH 3 Power: High -> (empty)\n",
         0},
        {"squelch level and beep",
         [](RadioImage& image) {
             image[ImageMap::kSquelchLevel] = static_cast<std::uint8_t>(image[ImageMap::kSquelchLevel] == 5 ? 6 : 5);
             image[ImageMap::kBeep] ^= 1;
         },
         "", 2},
        {"radio type and band",
         [](RadioImage& image) {
             image[ImageMap::kRadioType] += 1;
             image[ImageMap::kBandIndex] += 2;
         },
         "", 2},
        {"bytes no field shows",
         [](RadioImage& image) {
             image[0x200] ^= 0xFF;
             image[0x3F0] ^= 0x01;
         },
         "2 other bytes differ\n", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RadioImage changed = base;
        c.change(changed);
        const ImageComparison comparison = CompareImages(base, changed);
        EXPECT_EQ(comparison.Equal(), std::string(c.name) == "equal");
        if (!c.text.empty()) {
            EXPECT_EQ(FormatComparison(comparison, false), c.text);
        }
        if (c.bytes > 0) {
            EXPECT_EQ(comparison.differingBytes.size(), c.bytes);
        }
    }
}

TEST(ImageComparison, SettingsAreNamedByTheirDialogLabels)
{
    RadioImage a = MakeNewImage();
    RadioImage b = a;
    b[ImageMap::kSquelchLevel] = static_cast<std::uint8_t>(a[ImageMap::kSquelchLevel] == 5 ? 6 : 5);
    b[ImageMap::kBeep] = a[ImageMap::kBeep] ? 0 : 1;
    b[ImageMap::kRadioType] = static_cast<std::uint8_t>(a[ImageMap::kRadioType] + 1);
    const ImageComparison comparison = CompareImages(a, b);
    std::vector<std::string> fields;
    for (const ImageChange& change : comparison.changes) {
        EXPECT_EQ(change.channel, 0);
        EXPECT_NE(change.before, change.after);
        fields.push_back(change.field);
    }
    EXPECT_EQ(fields, (std::vector<std::string>{"Squelch Level", "Beep", "Radio Type Index"}));
    EXPECT_EQ(comparison.otherBytes, 0);
    // --bytes adds each offset with both values.
    const std::string text = FormatComparison(comparison, true);
    char line[32];
    std::snprintf(line, sizeof line, "0x%04zX: %02X -> %02X\n", ImageMap::kRadioType, a[ImageMap::kRadioType],
                  b[ImageMap::kRadioType]);
    EXPECT_NE(text.find(line), std::string::npos) << text;
}

TEST(ImageComparison, DifferingFramesNameTheLinksBlocksOnly)
{
    const RadioImage sent = MakeNewImage();
    RadioImage back = sent;
    back[0x000] ^= 1;
    back[0x123] ^= 1;
    back[0x127] ^= 1; // same frame as 0x123
    back[0x32F] ^= 1;
    back[0x330] ^= 1; // beyond what the link moves
    EXPECT_EQ(DifferingFrames(sent, back), (std::vector<std::uint16_t>{0x000, 0x120, 0x328}));
    EXPECT_TRUE(DifferingFrames(sent, sent).empty());
}

// A channel's scan membership lives in a bitmap apart from its record; the
// changed bit is explained by the Scan line, in either byte of the bitmap.
TEST(ImageComparison, ScanChangeIsExplainedByItsChannel)
{
    for (const int channel : {1, 3, 8, 9, 16}) {
        SCOPED_TRACE(channel);
        RadioImage before = MakeNewImage();
        ChannelTable table = NewChannelTable(false);
        ImageToTable(before, 0, false, table);
        table[static_cast<std::size_t>(channel)][kColRxFrequency] = "145.50000";
        table[static_cast<std::size_t>(channel)][kColTxFrequency] = "145.50000";
        table[static_cast<std::size_t>(channel)][kColScan] = "No";
        TableToImage(table, 0, before);
        RadioImage after = before;
        EncodeScan(after, channel, "Yes");
        const ImageComparison comparison = CompareImages(before, after);
        EXPECT_EQ(FormatComparison(comparison, false), "CH " + std::to_string(channel) + " Scan: No -> Yes\n");
        EXPECT_EQ(comparison.otherBytes, 0);
        ASSERT_EQ(comparison.differingBytes.size(), 1u);
        EXPECT_EQ(comparison.differingBytes[0].offset,
                  ImageMap::kScanBitmap + static_cast<std::size_t>(channel - 1) / 8);
        // A bit of an empty channel changed as well stays unexplained.
        RadioImage alsoOther = after;
        alsoOther[ImageMap::kScanBitmap + static_cast<std::size_t>(channel <= 8 ? 1 : 0)] ^= 0x01;
        EXPECT_EQ(CompareImages(before, alsoOther).otherBytes, 1);
    }
}

} // namespace
