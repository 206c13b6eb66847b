#pragma once

#include "outside/gibbsldacore/corpus.h"
#include "outside/gibbsldacore/gibbsldacore.h"
#include "outside/gibbsldacore/ldastate.h"

#include <cstdint>

namespace corvane::gibbslda {

/// What a run is asked to do, already checked.
struct TRunParams
{
    TPriors priors;
    uint32_t topics = 1;
    uint32_t iterations = 1;
    uint32_t saveStep = 0; // report every saveStep sweeps; 0: only after the last
    uint32_t threads = 1;
    bool granulated = false;
    uint32_t window = 1;
    uint64_t seed = 0;
};

/// The number of vocabulary parts and document chunks used for `threads` threads.
uint32_t PartsFor(uint32_t threads);

/// Runs the sampler over a valid input: 0 when all sweeps ran, 1 when stopped.
int32_t RunEngine(const TRunParams& params, const TInput& input, const TLdaWindow* window,
                  const TLdaStopEvent* stopEvent);

} // namespace corvane::gibbslda
