#include "tools/rankfold/cellformat.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace corvane {
namespace {

// Below 2^32 a float times 10^6 is computed exactly in 64-bit integers; larger values and
// infinities take to_chars, which rounds the same way printf does.
constexpr int kFastExponentLimit = 127 + 32;

size_t FormatSlow(float value, char separator, char* out)
{
    const auto res = std::to_chars(out, out + kMaxFloatFText, static_cast<double>(value),
                                   std::chars_format::fixed, 6);
    const size_t len = static_cast<size_t>(res.ptr - out);
    std::replace(out, out + len, '.', separator);
    return len;
}

/// Appends `text` to the cell's text at `len`, never beyond the 49 characters a cell keeps.
size_t Append(char* cell, size_t len, const char* text, size_t size)
{
    const size_t n = std::min(size, kSortedCellText - len);
    if (n > 0) // an empty word may have no data pointer at all
        std::memcpy(cell + len, text, n);
    return len + n;
}

void FinishCell(char* cell, size_t len, float value, char separator)
{
    len = Append(cell, len, ": ", 2);
    char number[kMaxFloatFText];
    len = Append(cell, len, number, FormatFloatF(value, separator, number));
    std::memset(cell + len, 0, kSortedCellSize - len);
}

} // namespace

size_t FormatFloatF(float value, char separator, char* out)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const int exponent = static_cast<int>((bits >> 23) & 0xFF);
    if (exponent >= kFastExponentLimit)
        return FormatSlow(value, separator, out);

    // value = mantissa * 2^shift exactly.
    uint64_t mantissa = bits & 0x7FFFFF;
    int shift = -149;
    if (exponent != 0) {
        mantissa |= 1u << 23;
        shift = exponent - 150;
    }
    // value * 10^6, rounded to the nearest integer with ties to even, as printf rounds.
    const uint64_t scaled = mantissa * 1000000; // below 2^44
    uint64_t micros = 0;
    if (shift >= 0) {
        micros = scaled << shift;
    } else if (shift > -45) {
        const int k = -shift;
        const uint64_t rest = scaled & ((uint64_t{1} << k) - 1);
        const uint64_t half = uint64_t{1} << (k - 1);
        micros = scaled >> k;
        if (rest > half || (rest == half && (micros & 1)))
            ++micros;
    } // else: below half of 10^-6 even before rounding

    char* p = out;
    if (bits >> 31)
        *p++ = '-';
    p = std::to_chars(p, p + 20, micros / 1000000).ptr;
    *p++ = separator;
    uint64_t fraction = micros % 1000000;
    for (int d = 5; d >= 0; --d) {
        p[d] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return static_cast<size_t>(p + 6 - out);
}

void FormatWordCell(std::string_view word, float value, char separator, char* cell)
{
    FinishCell(cell, Append(cell, 0, word.data(), word.size()), value, separator);
}

void FormatNumberCell(int32_t number, float value, char separator, char* cell)
{
    char digits[12];
    const auto res = std::to_chars(digits, digits + sizeof digits, number);
    FinishCell(cell, Append(cell, 0, digits, static_cast<size_t>(res.ptr - digits)), value,
               separator);
}

} // namespace corvane
