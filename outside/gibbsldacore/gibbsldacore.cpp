#include "outside/gibbsldacore/gibbsldacore.h"

#include "outside/gibbsldacore/engine.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <new>
#include <unistd.h>

namespace {

constexpr uint64_t kDefaultSeed = 0x5eed1da0c0ffee01ULL;
constexpr int32_t kMaxThreads = 256;

uint64_t SeedFromEnvironment()
{
    const char* text = std::getenv("CORVANE_LDA_SEED");
    if (text == nullptr || *text == '\0')
        return kDefaultSeed;
    char* end = nullptr;
    errno = 0;
    const unsigned long long seed = std::strtoull(text, &end, 10);
    return (errno != 0 || *end != '\0' || *text == '-') ? kDefaultSeed : seed;
}

bool IsPositive(double x)
{
    return std::isfinite(x) && x > 0;
}

// The reports alone take M x K and K x V doubles; a request that could never fit in the
// machine's memory is refused before anything is allocated.
bool ReportsFitInMemory(int32_t M, int32_t V, int32_t K)
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return true;
    const double memory = double(pages) * double(pageSize);
    const double largest = double(K) * std::max(M, V) * sizeof(double);
    return largest < memory;
}

} // namespace

int32_t gibbsldaCalc(const TLdaWindow* window, const TLdaStopEvent* stopEvent, int32_t threads,
                     double alpha, double beta, int32_t K, int32_t niters, int32_t savestep,
                     int32_t /*twords*/, int32_t M, int32_t V, const int32_t* lengths,
                     const int32_t* const* docs, int32_t fixedCount, const TFixedTopics* fixed,
                     int32_t granlda, int32_t granwnd)
{
    using namespace corvane::gibbslda;
    try {
        const bool granulated = granlda == 1;
        const TInput input{M, V, lengths, docs, fixedCount, fixed};
        if (K < 1 || niters < 1 || !IsPositive(alpha) || !IsPositive(beta) ||
            (granulated && (granwnd < 1 || granwnd > 50)) || !IsValidInput(input))
            return GIBBSLDA_ERROR_ARGUMENTS;
        if (!ReportsFitInMemory(M, V, K))
            return GIBBSLDA_ERROR_MEMORY;
        TRunParams params;
        params.priors = {alpha, beta};
        params.topics = static_cast<uint32_t>(K);
        params.iterations = static_cast<uint32_t>(niters);
        params.saveStep = savestep > 0 ? static_cast<uint32_t>(savestep) : 0;
        params.threads = static_cast<uint32_t>(std::clamp(threads, 1, kMaxThreads));
        params.granulated = granulated;
        params.window = granulated ? static_cast<uint32_t>(granwnd) : 1;
        params.seed = SeedFromEnvironment();
        return RunEngine(params, input, window, stopEvent);
    } catch (const std::bad_alloc&) {
        return GIBBSLDA_ERROR_MEMORY;
    } catch (...) {
        return GIBBSLDA_ERROR_INTERNAL;
    }
}

uint64_t gibbsldaVersion(void)
{
    return GIBBSLDA_VERSION;
}
