#pragma once
// A whole number edited as a scaled decimal text, such as a delay in tenths
// of a second typed and shown in seconds ("12.5"). Two rules share one
// description of the range:
//
//   CRangeEditFormatter brings a typed text into its canonical form (what an
//   edit shows once it loses the focus);
//   CRangeSpinStepper moves the text by the step an up-down button reports,
//   wrapping around at the ends of the button's range.
//
// Both read a text as the number at its start (a text without a number
// reads as 0) multiplied by the scale in exact decimal arithmetic and
// truncated toward zero, so "0.3" is exactly 3 tenths. One value may be shown
// as a word instead of a number ("Off" for 0). The caller owns the widgets:
// it hands in the texts and the button's range and shows what comes back.

#include <cstdint>
#include <string>

struct RangeFormat
{
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t granularity = 1; // values are multiples of it
    double scale = 1;             // value = shown number x scale
    int decimals = 0;             // digits after the point when shown
    bool specialEnabled = false;
    std::int32_t specialValue = 0;
    std::string specialText; // shown in place of the special value
};

// The transmit delay: 0 to 1800 tenths of a second, shown with one decimal,
// 0 shown as "Off" ("关" in Chinese).
RangeFormat TransmitDelayFormat(bool chinese);

// The number at the start of a text times the scale, truncated toward zero
// and saturated to 32 bits.
std::int32_t ScaledValue(const std::string& text, double scale);

class CRangeEditFormatter
{
public:
    explicit CRangeEditFormatter(RangeFormat format);

    // The value a text stands for: the minimum for an empty text, otherwise
    // the scaled number reduced to a multiple of the granularity, and the
    // minimum again when that lies outside the range. "12.34" gives 123,
    // "200" gives 0.
    std::int32_t Value(const std::string& text) const;
    // The special text for the special value, else value / scale with the
    // format's decimals ("12.3").
    std::string Text(std::int32_t value) const;
    // The canonical form of a text: Text(Value(text)).
    std::string Canonical(const std::string& text) const;

    const RangeFormat& Settings() const { return m_format; }

private:
    RangeFormat m_format;
};

class CRangeSpinStepper
{
public:
    explicit CRangeSpinStepper(RangeFormat format);

    // The value one report of an up-down button makes of its buddy's text:
    // the text's value (the special value for the special text, in any
    // case) plus delta; a step larger than 1 lands on the next multiple of
    // itself in the direction of travel; outside [lower, upper] a step up
    // wraps to lower and a step down to upper.
    std::int32_t StepValue(const std::string& buddyText, int delta, std::int32_t lower, std::int32_t upper) const;
    // The buddy's new text: StepValue shown as the formatter shows it.
    std::string Step(const std::string& buddyText, int delta, std::int32_t lower, std::int32_t upper) const;

private:
    RangeFormat m_format;
};

// The step an up-down button reports while it is held down: 1 at first,
// 5 from two seconds on, 20 from five seconds on.
int SpinAcceleratedStep(std::int64_t heldMilliseconds);
