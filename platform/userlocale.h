#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

/// The decimal separator of the user's regional settings. Read once from the environment
/// (LC_ALL, LC_NUMERIC, LANG) unless pinned with SetUserDecimalSeparator.
char UserDecimalSeparator();

/// Pins the separator: the window program takes it from its own locale object, tests pin it.
void SetUserDecimalSeparator(char separator);

/// A number in the form table cells show: rounded to eight significant digits and printed with
/// exactly five decimals and the user's separator; beyond eight integer digits, scientific form
/// ("1,2345679E+009").
std::string FormatCellNumber(double value);

/// Fixed-point text with `decimals` digits and the user's separator (CSV layouts, chart texts).
std::string FormatFixed(double value, int decimals);

/// The shortest general form of a number (at most 15 significant digits, no trailing zeros,
/// scientific only for very large or small values) with the user's separator: "25", "33,3333".
std::string FormatGeneral(double value);

/// Parses a decimal typed by the user: the user's separator first, the other one as fallback, so
/// "0,5" and "0.5" both work under any locale. Surrounding blanks are allowed; nothing else.
bool ParseUserDecimal(std::string_view text, double& value);

/// Parses a whole decimal integer (optional sign, surrounding blanks allowed).
bool ParseInt32(std::string_view text, int32_t& value);

} // namespace corvane
