#include "container/crc32unit.h"

#include "outside/crc32lib/crc32lib.h"

namespace corvane {
namespace {

// The library wants one initialisation before its first use; done when this unit is loaded.
const bool g_Initialized = [] {
    crc32Initialize();
    return true;
}();

} // namespace

uint32_t GetCrc32(uint32_t crc, const void* buffer, int32_t length)
{
    (void)g_Initialized;
    return crc32get(crc, buffer, length);
}

} // namespace corvane
