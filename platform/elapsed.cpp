#include "platform/elapsed.h"

#include <algorithm>
#include <cstdio>

namespace corvane {

std::string FormatElapsed(std::chrono::steady_clock::duration elapsed)
{
    const long long total =
        std::max<long long>(0, std::chrono::duration_cast<std::chrono::seconds>(elapsed).count());
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                  total % 60);
    return text;
}

} // namespace corvane
