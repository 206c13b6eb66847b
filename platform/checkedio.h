#pragma once

#include <cstdint>

namespace corvane {

/// True when `size` bytes starting at `offset` lie inside a file of `fileSize` bytes.
/// Every reader calls this before it allocates or seeks for a record it read from a file.
inline bool FitsInFile(int64_t offset, int64_t size, int64_t fileSize)
{
    return offset >= 0 && size >= 0 && fileSize >= 0 && offset <= fileSize &&
           size <= fileSize - offset;
}

} // namespace corvane
