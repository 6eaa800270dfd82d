#include "core/settings/RangeFormatting.h"

#include "core/channels/DecimalArithmetic.h"

#include <charconv>
#include <utility>

namespace {

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Largest multiple of step not above value (step > 0).
std::int64_t MultipleAtOrBelow(std::int64_t value, std::int64_t step)
{
    std::int64_t quotient = value / step;
    if (value % step != 0 && value < 0)
        --quotient;
    return quotient * step;
}

} // namespace

RangeFormat TransmitDelayFormat(bool chinese)
{
    RangeFormat format;
    format.minimum = 0;
    format.maximum = 1800;
    format.granularity = 1;
    format.scale = 10;
    format.decimals = 1;
    format.specialEnabled = true;
    format.specialValue = 0;
    format.specialText = chinese ? "关" : "Off";
    return format;
}

std::int32_t ScaledValue(const std::string& text, double scale)
{
    return SaturateToInt32(DecimalMultiply(ParseLeadingNumber(text), scale));
}

CRangeEditFormatter::CRangeEditFormatter(RangeFormat format)
    : m_format(std::move(format))
{}

std::int32_t CRangeEditFormatter::Value(const std::string& text) const
{
    if (text.empty())
        return m_format.minimum;
    std::int32_t value = ScaledValue(text, m_format.scale);
    if (m_format.granularity > 1)
        value -= value % m_format.granularity;
    if (value < m_format.minimum || value > m_format.maximum)
        value = m_format.minimum;
    return value;
}

std::string CRangeEditFormatter::Text(std::int32_t value) const
{
    if (m_format.specialEnabled && value == m_format.specialValue)
        return m_format.specialText;
    const double shown = DecimalDivide(value, m_format.scale);
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, shown, std::chars_format::fixed,
                                      m_format.decimals < 0 ? 0 : m_format.decimals);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
}

std::string CRangeEditFormatter::Canonical(const std::string& text) const
{
    return Text(Value(text));
}

CRangeSpinStepper::CRangeSpinStepper(RangeFormat format)
    : m_format(std::move(format))
{}

std::int32_t CRangeSpinStepper::StepValue(const std::string& buddyText, int delta, std::int32_t lower,
                                          std::int32_t upper) const
{
    std::int64_t value = ScaledValue(buddyText, m_format.scale);
    if (m_format.specialEnabled && EqualIgnoringAsciiCase(buddyText, m_format.specialText))
        value = m_format.specialValue;

    value += delta;
    const std::int64_t step = delta < 0 ? -static_cast<std::int64_t>(delta) : delta;
    // A step of 0 has no multiples to land on.
    if (step > 1 && value % step != 0) {
        if (delta > 0)
            value = MultipleAtOrBelow(value, step);
        else if (value < 0)
            value = 0;
        else
            value = MultipleAtOrBelow(value, step) + step;
    }

    if (value < lower || value > upper)
        value = delta > 0 ? lower : upper;
    return static_cast<std::int32_t>(value);
}

std::string CRangeSpinStepper::Step(const std::string& buddyText, int delta, std::int32_t lower,
                                    std::int32_t upper) const
{
    return CRangeEditFormatter(m_format).Text(StepValue(buddyText, delta, lower, upper));
}

int SpinAcceleratedStep(std::int64_t heldMilliseconds)
{
    if (heldMilliseconds >= 5000)
        return 20;
    if (heldMilliseconds >= 2000)
        return 5;
    return 1;
}
