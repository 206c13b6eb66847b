#pragma once

#include <algorithm>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace corvane::bench {

/// CPU seconds (user + system) one call of `fn` takes. CPU time, not wall time, so that other
/// work on a shared machine disturbs the figures less; the programs here are single-threaded.
inline double Seconds(const std::function<void()>& fn)
{
    auto now = [] {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return ts.tv_sec + ts.tv_nsec * 1e-9;
    };
    const double start = now();
    fn();
    return now() - start;
}

/// The middle value; the mean of the two middle ones for an even count; 0 for none.
inline double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t mid = v.size() / 2;
    return v.size() % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

/// The load averages of /proc/loadavg ("1.02 0.87 0.55"), printed beside figures measured on a
/// shared machine.
inline std::string LoadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

} // namespace corvane::bench
