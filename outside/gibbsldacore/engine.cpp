#include "outside/gibbsldacore/engine.h"

#include "outside/gibbsldacore/granulesampler.h"
#include "outside/gibbsldacore/reports.h"
#include "outside/gibbsldacore/sparsesampler.h"
#include "outside/gibbsldacore/stagerunner.h"
#include "outside/gibbsldacore/topicmoves.h"

#include <optional>

namespace corvane::gibbslda {

namespace {

// The fewest parts, a multiple of the thread count, at which a sweep still has four tasks per
// stage. With two threads each takes two tasks a stage, in whatever order they finish, so a
// thread that shares its core with another program holds the other up less. One, two and four
// threads cut the work alike and give the same results. Every part more costs a visit per
// document and sweep: eight parts cost 11% more instructions per token than four at K = 200 on
// documents of 150 tokens, and 18% more on quotes of 7 tokens.
constexpr uint32_t kMinTasks = 4;

// Topic moves follow every kMoveEvery-th sweep from kFirstMoves to kLastMoves, when at least
// kMoveEvery plain sweeps remain after them. Before sweep 40 the topics are still forming; by
// sweep 100 the rounds have nothing left to find on the corpora we measured.
constexpr uint32_t kFirstMoves = 40;
constexpr uint32_t kLastMoves = 100;
constexpr uint32_t kMoveEvery = 20;

bool MovesAfter(uint32_t sweep, uint32_t sweeps)
{
    return sweep >= kFirstMoves && sweep <= kLastMoves && sweep % kMoveEvery == 0 &&
           sweep + kMoveEvery <= sweeps;
}

template <class Entry, class Sampler, class... SamplerArgs>
int32_t Sample(const TRunParams& params, const TCorpus& corpus, const TLdaWindow* window,
               TStageRunner& runner, SamplerArgs... samplerArgs)
{
    TLdaState<Entry> state(corpus, params.priors, params.seed);
    Sampler sampler(state, samplerArgs...);
    std::optional<TTopicMoves<Entry>> moves;
    if (!params.granulated && TTopicMoves<Entry>::Suits(corpus) &&
        MovesAfter(kFirstMoves, params.iterations))
        moves.emplace(state, params.seed);
    if (!sampler.Initialize(runner))
        return 1;
    for (uint32_t it = 1; it <= params.iterations; ++it) {
        if (!sampler.Sweep(runner))
            return 1;
        if (moves && MovesAfter(it, params.iterations)) {
            typename TTopicMoves<Entry>::TRoundResult made;
            if (!moves->Round(runner, made))
                return 1;
            if (!MovesAfter(it + kMoveEvery, params.iterations))
                moves->Release();
        }
        const bool due = it == params.iterations || (params.saveStep > 0 && it % params.saveStep == 0);
        if (due && window != nullptr)
            SendReports(*window, it, state);
    }
    return 0;
}

template <class Entry>
int32_t SampleWith(const TRunParams& params, const TCorpus& corpus, const TLdaWindow* window,
                   TStageRunner& runner)
{
    if (params.granulated)
        return Sample<Entry, TGranuleSampler<Entry>>(params, corpus, window, runner, params.window);
    return Sample<Entry, TSparseSampler<Entry>>(params, corpus, window, runner);
}

} // namespace

uint32_t PartsFor(uint32_t threads)
{
    return threads * ((kMinTasks + threads - 1) / threads);
}

int32_t RunEngine(const TRunParams& params, const TInput& input, const TLdaWindow* window,
                  const TLdaStopEvent* stopEvent)
{
    TStageRunner runner(params.threads, stopEvent);
    if (runner.PollStop())
        return 1;
    TCorpus corpus;
    BuildCorpus(input, params.topics, PartsFor(params.threads), !params.granulated, corpus);
    if (TLdaState<uint32_t>::Fits(corpus))
        return SampleWith<uint32_t>(params, corpus, window, runner);
    return SampleWith<uint64_t>(params, corpus, window, runner);
}

} // namespace corvane::gibbslda
