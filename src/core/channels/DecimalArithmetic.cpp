#include "core/channels/DecimalArithmetic.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

// A decimal value: sign, decimal digits (most significant first) and a power
// of ten, value = digits * 10^exponent.
struct DecimalNumber
{
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool IsZero() const { return digits.find_first_not_of('0') == std::string::npos; }
};

constexpr int kOperandDigits = 15;
constexpr int kQuotientDigits = 40;

// Rounds a finite double to 15 significant digits. The scientific
// conversion of to_chars is exact and correctly rounded, so the digits are
// those of the double's exact binary value rounded once.
DecimalNumber ToDecimal(double v)
{
    DecimalNumber number;
    number.negative = std::signbit(v);
    char text[64];
    const auto result = std::to_chars(std::begin(text), std::end(text), std::fabs(v), std::chars_format::scientific,
                                      kOperandDigits - 1);
    // The text is d.dddddddddddddde[+-]xx.
    const std::string_view view(text, static_cast<std::size_t>(result.ptr - text));
    const std::size_t e = view.find('e');
    number.digits.push_back(view[0]);
    number.digits.append(view.substr(2, e - 2));
    int power = 0;
    std::from_chars(view.data() + e + (view[e + 1] == '+' ? 2 : 1), view.data() + view.size(), power);
    number.exponent = power - (kOperandDigits - 1);
    return number;
}

// The double nearest to a decimal value. from_chars rounds correctly; when the
// value lies outside the range of a double it reports so, and the magnitude
// of the value decides between infinity and zero.
double ToDouble(const DecimalNumber& number)
{
    if (number.IsZero())
        return 0.0;
    const std::string text = number.digits + "e" + std::to_string(number.exponent);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const std::size_t first = number.digits.find_first_not_of('0');
        const long long decade = static_cast<long long>(number.digits.size() - first) + number.exponent;
        value = decade > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return number.negative ? -value : value;
}

std::string MultiplyDigits(const std::string& a, const std::string& b)
{
    std::vector<int> sum(a.size() + b.size(), 0);
    for (std::size_t i = a.size(); i-- > 0;) {
        for (std::size_t j = b.size(); j-- > 0;)
            sum[i + j + 1] += (a[i] - '0') * (b[j] - '0');
    }
    for (std::size_t k = sum.size(); k-- > 1;) {
        sum[k - 1] += sum[k] / 10;
        sum[k] %= 10;
    }
    std::string digits;
    digits.reserve(sum.size());
    for (int d : sum)
        digits.push_back(static_cast<char>('0' + d));
    return digits;
}

std::uint64_t DigitsValue(const std::string& digits)
{
    std::uint64_t value = 0;
    for (char c : digits)
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    return value;
}

bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether a decimal number text that from_chars found out of range is too
// large (rather than too small) for a double: the power of ten of its leading
// non-zero digit decides.
bool ExceedsRange(std::string_view number)
{
    long long integerDigits = 0;
    long long leadingIndex = -1;
    long long index = 0;
    bool afterPoint = false;
    std::size_t i = 0;
    for (; i < number.size() && (IsDigit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] == '.') {
            afterPoint = true;
            continue;
        }
        if (!afterPoint)
            ++integerDigits;
        if (leadingIndex < 0 && number[i] != '0')
            leadingIndex = index;
        ++index;
    }
    long long exponent = 0;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '-' || number[i] == '+'))
            ++i;
        for (; i < number.size() && IsDigit(number[i]); ++i) {
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (number[i] - '0');
        }
        if (negative)
            exponent = -exponent;
    }
    return integerDigits - 1 - leadingIndex + exponent >= 0;
}

} // namespace

double DecimalMultiply(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b))
        return a * b;
    const DecimalNumber x = ToDecimal(a);
    const DecimalNumber y = ToDecimal(b);
    DecimalNumber product;
    product.negative = x.negative != y.negative;
    product.digits = MultiplyDigits(x.digits, y.digits);
    product.exponent = x.exponent + y.exponent;
    return ToDouble(product);
}

double DecimalDivide(double a, double b)
{
    if (b == 0.0)
        return 0.0;
    if (!std::isfinite(a) || !std::isfinite(b))
        return a / b;
    const DecimalNumber x = ToDecimal(a);
    const DecimalNumber y = ToDecimal(b);
    if (x.IsZero())
        return 0.0;

    // Long division of x's digits, followed by as many zeros as needed, by
    // y's digits. The divisor has at most 15 digits, so the running
    // remainder times ten stays below 10^16 and fits 64 bits.
    const std::uint64_t divisor = DigitsValue(y.digits);
    DecimalNumber quotient;
    quotient.negative = x.negative != y.negative;
    std::uint64_t remainder = 0;
    int significant = 0;
    int consumed = 0;
    while (significant < kQuotientDigits) {
        const std::size_t index = static_cast<std::size_t>(consumed);
        const int digit = index < x.digits.size() ? x.digits[index] - '0' : 0;
        remainder = remainder * 10 + static_cast<std::uint64_t>(digit);
        const std::uint64_t q = remainder / divisor;
        remainder %= divisor;
        ++consumed;
        if (q != 0 || significant > 0) {
            quotient.digits.push_back(static_cast<char>('0' + q));
            ++significant;
        }
    }
    // The digits consumed stand for x.digits * 10^(consumed - size).
    quotient.exponent = x.exponent - y.exponent - (consumed - static_cast<int>(x.digits.size()));
    if (remainder != 0) {
        // A trailing non-zero digit keeps the value above the truncated
        // quotient, so the final rounding sees which side it lies on.
        quotient.digits.push_back('1');
        --quotient.exponent;
    }
    return ToDouble(quotient);
}

namespace {

// Skips leading white space and one sign, as atof and atoi do; returns the
// index of what follows.
std::size_t SkipSpaceAndSign(const std::string& text, bool& negative)
{
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

} // namespace

double ParseLeadingNumber(const std::string& text)
{
    bool negative = false;
    std::size_t i = SkipSpaceAndSign(text, negative);
    // from_chars takes a minus sign of its own; a second sign is no number.
    if (i >= text.size() || text[i] == '+' || text[i] == '-')
        return 0.0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument)
        return 0.0;
    if (result.ec == std::errc::result_out_of_range) {
        const std::string_view number(first, static_cast<std::size_t>(result.ptr - first));
        value = ExceedsRange(number) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::int32_t ParseLeadingInteger(const std::string& text)
{
    bool negative = false;
    std::size_t i = SkipSpaceAndSign(text, negative);
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit)
            value = kLimit;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

std::int32_t SaturateToInt32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483648.0)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483649.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

std::int32_t ToTenHertz(const std::string& text)
{
    return SaturateToInt32(DecimalMultiply(ParseLeadingNumber(text), 100000.0));
}
