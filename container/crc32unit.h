#pragma once

#include <cstdint>
#include <string_view>

namespace corvane {

/// The checksum behind every word id: crc32get of the checksum library.
uint32_t GetCrc32(uint32_t crc, const void* buffer, int32_t length);

/// The word id of a word: the checksum of its lower-case single-byte bytes, starting from 0.
inline uint32_t WordId(std::string_view word)
{
    return GetCrc32(0, word.data(), static_cast<int32_t>(word.size()));
}

} // namespace corvane
