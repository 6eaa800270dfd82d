#pragma once
// Arithmetic on doubles carried out in base 10, so that a typed 146.525 times
// 100000 is exactly 14652500 and never 14652499.99999999.
//
// Each operand is first rounded to 15 significant decimal digits (the
// precision a double reliably holds), the product or quotient is formed from
// those decimal digits with integer arithmetic, and the result is turned back
// into the nearest double. Callers truncate where they need an integer.

#include <cstdint>
#include <string>

// Exact product of the two 15-digit operands, rounded once to a double.
// A product too large for a double gives +/-infinity, one too small +/-0.
// Infinite or NaN operands give the ordinary floating-point product.
double DecimalMultiply(double a, double b);

// Quotient of the two 15-digit operands, carried to 40 significant digits
// before it is rounded to a double. Division by zero gives 0; otherwise
// infinite or NaN operands give the ordinary floating-point quotient.
double DecimalDivide(double a, double b);

// The number at the start of a text, read the way the C library's atof reads
// it but independent of the process locale: leading white space is skipped,
// then the longest prefix of an optional sign, digits with an optional
// decimal point and an optional exponent is taken ("12.5kHz" gives 12.5,
// "1e" gives 1). "inf", "infinity" and "nan" are read as such, in any case;
// hexadecimal numbers are not recognised ("0x10" gives 0). A text that does
// not start with a number gives 0. Values beyond the range of a double give
// +/-infinity, values too small to represent give 0.
double ParseLeadingNumber(const std::string& text);

// The integer at the start of a text, read the way atoi reads it (white
// space, optional sign, decimal digits), saturating at the 32-bit range
// instead of overflowing. A text that does not start with a number gives 0.
std::int32_t ParseLeadingInteger(const std::string& text);

// v truncated toward zero; values outside the 32-bit range give the nearest
// limit, NaN gives 0.
std::int32_t SaturateToInt32(double v);

// A frequency typed in MHz as an integer number of 10 Hz units:
// "146.525" gives 14652500, "145.123456" gives 14512345 (digits past the
// fifth decimal are dropped), a text without a number gives 0.
std::int32_t ToTenHertz(const std::string& text);
