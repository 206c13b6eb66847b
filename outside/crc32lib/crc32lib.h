#pragma once

#include <cstdint>

#define CORVANE_CRC32_API extern "C" __attribute__((visibility("default")))

/// Prepares the checksum tables; call once before the first crc32get.
CORVANE_CRC32_API void crc32Initialize();

/// Standard CRC-32 (the zlib polynomial) of `length` bytes at `buffer`, continuing from `crc`
/// (0 starts a new checksum). Keeps no state between calls, so it is safe from any thread.
/// A null buffer or a length below 1 returns `crc` unchanged.
CORVANE_CRC32_API uint32_t crc32get(uint32_t crc, const void* buffer, int32_t length);
