#include "platform/codepage.h"

#include <array>
#include <cstdint>

namespace corvane {
namespace {

// Code points of bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

struct TTables
{
    std::array<unsigned char, 256> lower{};
    std::array<bool, 256> letter{};
};

TTables MakeTables()
{
    TTables t;
    for (int c = 0; c < 256; ++c)
        t.lower[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) {
        t.lower[c] = static_cast<unsigned char>(c + 32);
        t.letter[c] = t.letter[c + 32] = true;
    }
    for (int c = 0xC0; c <= 0xDF; ++c) {
        t.lower[c] = static_cast<unsigned char>(c + 32);
        t.letter[c] = t.letter[c + 32] = true;
    }
    // Upper-case letters of the upper half and their lower-case partners.
    constexpr unsigned char pairs[][2] = {
        {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
        {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
        {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
    };
    for (const auto& p : pairs) {
        t.lower[p[0]] = p[1];
        t.letter[p[0]] = t.letter[p[1]] = true;
    }
    return t;
}

const TTables& Tables()
{
    static const TTables tables = MakeTables();
    return tables;
}

// Every code point the upper half holds is below U+2200: one byte per code point, 0 = none.
constexpr char32_t kReverseLimit = 0x2200;

int EncodeFromUnicode(char32_t cp)
{
    static const auto reverse = [] {
        std::array<unsigned char, kReverseLimit> r{};
        for (int c = 0x80; c < 0x100; ++c)
            r[Cp1251ToUnicode(static_cast<unsigned char>(c))] = static_cast<unsigned char>(c);
        return r;
    }();
    if (cp < 0x80)
        return static_cast<int>(cp);
    if (cp >= kReverseLimit || reverse[cp] == 0)
        return -1;
    return reverse[cp];
}

// Decodes one UTF-8 sequence at `s[i]`; returns its length (at least 1) and the code point,
// or -1 as code point for a malformed sequence.
size_t DecodeUtf8(std::string_view s, size_t i, int32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    size_t len;
    int32_t value;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        value = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        value = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        value = b0 & 0x07;
    } else {
        cp = -1;
        return 1;
    }
    size_t n = 1;
    for (; n < len && i + n < s.size(); ++n) {
        const auto b = static_cast<unsigned char>(s[i + n]);
        if ((b & 0xC0) != 0x80)
            break;
        value = (value << 6) | (b & 0x3F);
    }
    if (n < len) {
        cp = -1;
        return n;
    }
    static constexpr int32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    cp = (value < kMin[len] || value > 0x10FFFF) ? -1 : value;
    return len;
}

} // namespace

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t Cp1251ToUnicode(unsigned char c)
{
    if (c < 0x80)
        return c;
    if (c >= 0xC0)
        return static_cast<char32_t>(0x0410 + (c - 0xC0));
    return kHigh[c - 0x80];
}

std::string Utf8ToCp1251(std::string_view utf8, size_t* substituted)
{
    std::string out;
    out.reserve(utf8.size());
    size_t bad = 0;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        int32_t cp;
        i += DecodeUtf8(utf8, i, cp);
        const int byte = cp < 0 ? -1 : EncodeFromUnicode(static_cast<char32_t>(cp));
        if (byte < 0) {
            out += '?';
            ++bad;
        } else {
            out += static_cast<char>(byte);
        }
    }
    if (substituted)
        *substituted = bad;
    return out;
}

std::string Cp1251ToUtf8(std::string_view ansi)
{
    std::string out;
    out.reserve(ansi.size() * 2);
    for (char ch : ansi)
        AppendUtf8(out, Cp1251ToUnicode(static_cast<unsigned char>(ch)));
    return out;
}

unsigned char LowerCp1251(unsigned char c)
{
    return Tables().lower[c];
}

void LowerCp1251InPlace(std::string& text)
{
    const auto& lower = Tables().lower;
    for (char& ch : text)
        ch = static_cast<char>(lower[static_cast<unsigned char>(ch)]);
}

std::string LowerCp1251(std::string_view text)
{
    std::string out(text);
    LowerCp1251InPlace(out);
    return out;
}

void LowerAsciiInPlace(std::string& text)
{
    for (char& ch : text)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch + 32);
}

bool IsLetterCp1251(unsigned char c)
{
    return Tables().letter[c];
}

} // namespace corvane
