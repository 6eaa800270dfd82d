#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "core/channels/DecimalArithmetic.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(DecimalArithmetic, ScalesTypedFrequenciesWithoutBinaryRounding)
{
    struct Case
    {
        const char* text;
        std::int32_t tenHertz;
    };
    const Case cases[] = {
        {"146.525", 14652500},
        {"145.0125", 14501250},
        {"136.00625", 13600625},
        {"159.8", 15980000},
        {"145.123456", 14512345},
        {"  146.52500", 14652500},
        {"174", 17400000},
        {"-145.0125", -14501250},
        {"+0.00001", 1},
        {"146.525MHz", 14652500},
        {"1.46525e2", 14652500},
        {"", 0},
        {"None", 0},
        {"1e20", kMax},
        {"-1e20", kMin},
        {"inf", kMax},
        {"nan", 0},
        {"1e999", kMax},
        {"0x10", 0},
        {"--5", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToTenHertz(c.text), c.tenHertz) << c.text;
}

TEST(DecimalArithmetic, ProductsAndQuotientsAreTheDecimalOnes)
{
    // Each pair is compared with the double nearest to the decimal result.
    EXPECT_EQ(DecimalMultiply(159.8, 10), 1598.0);
    EXPECT_EQ(DecimalMultiply(0.3, 10), 3.0);
    EXPECT_EQ(DecimalMultiply(2.35, 10), 23.5);
    EXPECT_EQ(DecimalMultiply(1.1, 1.1), 1.21);
    EXPECT_EQ(DecimalMultiply(-0.1, 3), -0.3);
    EXPECT_EQ(DecimalMultiply(0.0, -5), 0.0);
    EXPECT_EQ(DecimalMultiply(1e300, 1e300), kInf);
    EXPECT_EQ(DecimalMultiply(-1e300, 1e300), -kInf);
    EXPECT_EQ(DecimalMultiply(1e-300, 1e-300), 0.0);
    EXPECT_EQ(DecimalMultiply(kInf, 2), kInf);
    EXPECT_TRUE(std::isnan(DecimalMultiply(kInf, 0)));

    EXPECT_EQ(DecimalDivide(23, 10), 2.3);
    EXPECT_EQ(DecimalDivide(0.3, 0.1), 3.0);
    EXPECT_EQ(DecimalDivide(1, 3), 1.0 / 3.0);
    EXPECT_EQ(DecimalDivide(-2, 3), -2.0 / 3.0);
    EXPECT_EQ(DecimalDivide(1798, 10), 179.8);
    EXPECT_EQ(DecimalDivide(0, 7), 0.0);
    EXPECT_EQ(DecimalDivide(7, 0), 0.0);
    EXPECT_EQ(DecimalDivide(kInf, 0), 0.0);
    EXPECT_EQ(DecimalDivide(1e300, 1e-300), kInf);
    EXPECT_EQ(DecimalDivide(1, kInf), 0.0);
}

TEST(DecimalArithmetic, ParsesLikeAtofInAnyLocale)
{
    struct Case
    {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"12.5kHz", 12.5}, {"\t\n 7", 7},  {".5", 0.5},       {"5.", 5},          {"1e", 1},
        {"1e+", 1},        {"-2E2", -200}, {"+3", 3},         {"- 3", 0},         {"abc", 0},
        {"0x1A", 0},       {"1e-400", 0},  {"-1e400", -kInf}, {"INFINITY", kInf}, {"1,5", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseLeadingNumber(c.text), c.value) << c.text;
    EXPECT_TRUE(std::isnan(ParseLeadingNumber(" nan(1)")));
}

TEST(DecimalArithmetic, IntegerParsingAndTruncationSaturate)
{
    struct IntCase
    {
        const char* text;
        std::int32_t value;
    };
    const IntCase texts[] = {
        {"023N", 23},
        {" -12x", -12},
        {"+7", 7},
        {"x", 0},
        {"", 0},
        {"2147483647", kMax},
        {"2147483648", kMax},
        {"99999999999999999999", kMax},
        {"-2147483648", kMin},
        {"-99999999999999999999", kMin},
    };
    for (const IntCase& c : texts)
        EXPECT_EQ(ParseLeadingInteger(c.text), c.value) << c.text;

    struct DoubleCase
    {
        double v;
        std::int32_t value;
    };
    const DoubleCase values[] = {
        {2.9, 2},
        {-2.9, -2},
        {2147483647.9, kMax},
        {2147483648.0, kMax},
        {-2147483648.9, kMin},
        {-2147483649.0, kMin},
        {1e20, kMax},
        {-kInf, kMin},
        {kInf, kMax},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const DoubleCase& c : values)
        EXPECT_EQ(SaturateToInt32(c.v), c.value) << c.v;
}

} // namespace
