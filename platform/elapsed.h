#pragma once

#include <chrono>
#include <string>

namespace corvane {

/// Elapsed time as the status bars show it: hours, minutes and seconds, "01:02:03"; hours grow
/// past two digits when needed.
std::string FormatElapsed(std::chrono::steady_clock::duration elapsed);

} // namespace corvane
