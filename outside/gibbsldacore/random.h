#pragma once

#include <cstdint>

namespace corvane::gibbslda {

/// wyrand: one 64-bit word of state and one 64x64->128 multiply per draw; passes the usual
/// statistical test batteries, which is plenty for topic draws. Each generator fills a cache line
/// of its own, so that threads drawing from neighbouring generators do not share one.
class alignas(64) TRandom
{
public:
    explicit TRandom(uint64_t seed = 0) : m_State(seed) {}

    uint64_t Next()
    {
        m_State += 0xa0761d6478bd642fULL;
        const unsigned __int128 product =
            static_cast<unsigned __int128>(m_State) * (m_State ^ 0xe7037ed1a0b428dbULL);
        return static_cast<uint64_t>(product >> 64) ^ static_cast<uint64_t>(product);
    }

    /// Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

    /// Uniform in [0, n); n > 0.
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(((Next() >> 32) * n) >> 32); }

    /// A well-mixed seed derived from `seed` and a stream number, for independent generators.
    static uint64_t Derive(uint64_t seed, uint64_t stream)
    {
        uint64_t z = seed + (stream + 1) * 0x9e3779b97f4a7c15ULL;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

private:
    uint64_t m_State;
};

} // namespace corvane::gibbslda
