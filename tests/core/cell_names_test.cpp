#include "core/channels/CellNames.h"
#include "core/channels/ChannelTable.h"

#include <gtest/gtest.h>

namespace {

struct CellNameCase
{
    bool chinese;
    int channel;
    int column;
    const char* text;
    const char* cellName;
    const char* editorName;
};

TEST(ChannelCellNames, ReadChannelHeadingAndText)
{
    const CellNameCase cases[] = {
        {false, 1, kColRxFrequency, "145.00000", "Channel 1, Rx Frequency: 145.00000", "Channel 1, Rx Frequency"},
        {false, 16, kColEncodeTone, "D023N", "Channel 16, QT/DQT Enc: D023N", "Channel 16, QT/DQT Enc"},
        {false, 3, kColScan, "", "Channel 3, Scan: empty", "Channel 3, Scan"},
        // A cell of blanks looks empty and reads so.
        {false, 4, kColBandwidth, "  ", "Channel 4, W/N: empty", "Channel 4, W/N"},
        // A text that merely contains blanks is read as it is.
        {false, 5, kColTxFrequency, " 1 ", "Channel 5, Tx Frequency:  1 ", "Channel 5, Tx Frequency"},
        {true, 1, kColRxFrequency, "145.00000", "信道1，接收频率：145.00000", "信道1，接收频率"},
        {true, 12, kColDecodeTone, "无", "信道12，QT/DQT解码：无", "信道12，QT/DQT解码"},
        {true, 9, kColPower, "", "信道9，功率：空", "信道9，功率"},
    };
    for (const CellNameCase& c : cases) {
        const std::string heading = ColumnHeading(c.column, c.chinese);
        EXPECT_EQ(ChannelCellName(c.channel, heading, c.text, c.chinese), c.cellName) << c.cellName;
        EXPECT_EQ(ChannelEditorName(c.channel, heading, c.chinese), c.editorName) << c.editorName;
    }
}

} // namespace
