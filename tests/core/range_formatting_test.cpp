#include "core/settings/RangeFormatting.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FormatCase
{
    bool chinese;
    const char* typed;
    int value;
    const char* shown;
};

TEST(TransmitDelayFormatter, TypedTextsTakeTheirCanonicalForm)
{
    const FormatCase cases[] = {
        {false, "", 0, "Off"},         {false, "Off", 0, "Off"},
        {false, "0", 0, "Off"},        {false, "1.5", 15, "1.5"},
        {false, "2.35", 23, "2.3"},    {false, "12.34", 123, "12.3"},
        {false, "5x", 50, "5.0"},      {false, "1e2", 1000, "100.0"},
        {false, "180", 1800, "180.0"}, {false, "180.05", 1800, "180.0"},
        {false, "180.1", 0, "Off"},    {false, "200", 0, "Off"},
        {false, "0.05", 0, "Off"},     {false, "-1", 0, "Off"},
        {false, "abc", 0, "Off"},      {true, "", 0, "关"},
        {true, "关", 0, "关"},         {true, "200", 0, "关"},
        {true, "1.5", 15, "1.5"},
    };
    for (const FormatCase& c : cases) {
        const CRangeEditFormatter formatter(TransmitDelayFormat(c.chinese));
        EXPECT_EQ(formatter.Value(c.typed), c.value) << c.typed;
        EXPECT_EQ(formatter.Canonical(c.typed), c.shown) << c.typed;
    }
}

TEST(RangeFormatter, GranularityAndMinimumOfOtherRanges)
{
    RangeFormat format;
    format.minimum = 10;
    format.maximum = 100;
    format.granularity = 5;
    format.scale = 1;
    const CRangeEditFormatter formatter(format);
    EXPECT_EQ(formatter.Canonical("47"), "45");
    EXPECT_EQ(formatter.Canonical(""), "10");
    EXPECT_EQ(formatter.Canonical("7"), "10");
    EXPECT_EQ(formatter.Canonical("101"), "100"); // reduced before the range check
    EXPECT_EQ(formatter.Canonical("105"), "10");
    EXPECT_EQ(formatter.Canonical("100"), "100");
}

struct StepCase
{
    bool chinese;
    const char* text;
    int delta;
    const char* shown;
};

TEST(TransmitDelayStepper, StepsWrapAtBothEnds)
{
    const StepCase cases[] = {
        // single steps
        {false, "Off", 1, "0.1"},
        {false, "Off", -1, "180.0"},
        {false, "OFF", 1, "0.1"},
        {false, "off", -1, "180.0"},
        {false, "180.0", 1, "Off"},
        {false, "0.1", -1, "Off"},
        {false, "1.5", 1, "1.6"},
        {false, "", 1, "0.1"},
        {false, "200", 1, "Off"},
        {false, "200", -1, "180.0"},
        // accelerated steps land on multiples of the step
        {false, "1.2", 5, "1.5"},
        {false, "1.5", 5, "2.0"},
        {false, "1.2", -5, "1.0"},
        {false, "0.3", -5, "Off"},
        {false, "Off", -5, "180.0"},
        {false, "Off", 20, "2.0"},
        {false, "179.9", 5, "180.0"},
        {false, "179.0", 20, "180.0"},
        {false, "180.0", 20, "Off"},
        {false, "1.7", 0, "1.7"},
        // Chinese special text
        {true, "关", 1, "0.1"},
        {true, "关", -1, "180.0"},
        {true, "0.1", -1, "关"},
    };
    for (const StepCase& c : cases) {
        const CRangeSpinStepper stepper(TransmitDelayFormat(c.chinese));
        EXPECT_EQ(stepper.Step(c.text, c.delta, 0, 1800), c.shown) << c.text << " by " << c.delta;
    }
}

} // namespace
