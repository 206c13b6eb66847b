#include "outside/crc32lib/crc32lib.h"

#include <zlib.h>

void crc32Initialize()
{
    // zlib builds its tables at compile time; touching them once keeps start-up cost out of
    // the first worker thread that asks for a word id.
    (void)get_crc_table();
}

uint32_t crc32get(uint32_t crc, const void* buffer, int32_t length)
{
    if (buffer == nullptr || length <= 0)
        return crc;
    return static_cast<uint32_t>(
        crc32(crc, static_cast<const Bytef*>(buffer), static_cast<uInt>(length)));
}
