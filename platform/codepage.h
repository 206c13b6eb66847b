#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

/// Converts UTF-8 to Windows-1251. Every character the code page cannot hold, and every
/// malformed UTF-8 sequence, becomes one "?"; `substituted` (when given) receives their count.
std::string Utf8ToCp1251(std::string_view utf8, size_t* substituted = nullptr);

/// Converts Windows-1251 to UTF-8. The one byte the code page leaves undefined (0x98) maps to
/// U+0098, so every byte string survives a round trip.
std::string Cp1251ToUtf8(std::string_view ansi);

/// Appends the UTF-8 form of a code point of the Basic Multilingual Plane.
void AppendUtf8(std::string& out, char32_t cp);

/// The Unicode code point of one Windows-1251 byte.
char32_t Cp1251ToUnicode(unsigned char c);

/// Lower-cases one Windows-1251 byte the way a Windows Cyrillic locale does: ASCII letters,
/// Russian letters with Ё, and the Ukrainian, Belarusian, Serbian and Macedonian letters.
unsigned char LowerCp1251(unsigned char c);
void LowerCp1251InPlace(std::string& text);
std::string LowerCp1251(std::string_view text);

/// Lower-cases ASCII letters only; every other byte stays as it is.
void LowerAsciiInPlace(std::string& text);

/// True for a byte that is a letter in Windows-1251 (ASCII or Cyrillic).
bool IsLetterCp1251(unsigned char c);

} // namespace corvane
