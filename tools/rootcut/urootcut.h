#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

/// The Porter stem of one single-byte word. Only lower-case ASCII letters take part in the
/// suffix rules; every other byte (upper case, digits, Cyrillic) counts as a consonant.
std::string fRootcut(std::string_view word);

/// Stems buffer[first..last] in place and returns the new last position. The stem never grows
/// past the word, so nothing outside first..last is written.
int32_t fRootcut(char* buffer, int32_t first, int32_t last);

} // namespace corvane
