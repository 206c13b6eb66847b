#pragma once

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
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

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace corvane::bench
