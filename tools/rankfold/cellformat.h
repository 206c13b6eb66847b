#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace corvane {

/// Width of a cell of the sorted tables, and the most text it holds (a zero byte follows).
constexpr size_t kSortedCellSize = 50;
constexpr size_t kSortedCellText = 49;
/// The longest text FormatFloatF writes: a sign, 39 integer digits, the separator, six decimals.
constexpr size_t kMaxFloatFText = 47;

/// Writes what printf("%f") writes for `value` (six decimals, correctly rounded, "inf", "nan"),
/// with `separator` as the decimal point. Returns the length; writes no terminator.
size_t FormatFloatF(float value, char separator, char* out);

/// Fills a whole cell with "word: value" ("%s: %f"), cut to 49 characters, then zero bytes.
void FormatWordCell(std::string_view word, float value, char separator, char* cell);

/// Fills a whole cell with "number: value" ("%d: %f"), cut to 49 characters, then zero bytes.
void FormatNumberCell(int32_t number, float value, char separator, char* cell);

} // namespace corvane
