#include "outside/gibbsldacore/sparsesampler.h"

namespace corvane::gibbslda {

namespace {

// How far ahead the word lists of coming tokens are fetched into cache.
constexpr uint32_t kPrefetchDistance = 8;

} // namespace

template <class Entry>
TSparseSampler<Entry>::TSparseSampler(TLdaState<Entry>& state)
    : m_State(state), m_Corpus(state.corpus),
      m_Deltas(state.corpus.parts, state.corpus.topics)
{
}

template <class Entry>
bool TSparseSampler<Entry>::Initialize(TStageRunner& runner)
{
    return RunStages(runner, &TSparseSampler::InitTask);
}

template <class Entry>
bool TSparseSampler<Entry>::Sweep(TStageRunner& runner)
{
    return RunStages(runner, &TSparseSampler::SampleTask);
}

template <class Entry>
bool TSparseSampler<Entry>::RunStages(TStageRunner& runner, TTaskFn task)
{
    m_Runner = &runner;
    while (m_Scratch.size() < runner.Threads())
        m_Scratch.emplace_back(m_Corpus.topics);
    const uint32_t P = m_Corpus.parts;
    for (uint32_t stage = 0; stage < P; ++stage) {
        const bool done = runner.Run(P, [&](uint32_t worker, uint32_t chunk) {
            (this->*task)(m_Scratch[worker], chunk, (chunk + stage) % P);
        });
        if (!done)
            return false;
        m_Deltas.MergeInto(m_State.totals);
    }
    return true;
}

template <class Entry>
void TSparseSampler<Entry>::InitTask(TWorkerScratch& w, uint32_t chunk, uint32_t part)
{
    const TCorpus& c = m_Corpus;
    TRandom& random = m_State.random[chunk];
    w.totals = m_State.totals;
    for (uint32_t d = c.chunkBegin[chunk]; d < c.chunkBegin[chunk + 1]; ++d) {
        const uint32_t end = c.SegmentEnd(chunk, d, part);
        uint32_t i = c.SegmentBegin(d, part);
        if (i == end)
            continue;
        if (m_Runner->Stopping())
            return;
        w.LoadDoc(m_State.docTopics, d);
        for (; i < end; ++i) {
            const uint32_t word = c.word[i];
            uint32_t k;
            if (c.IsFixed(word)) {
                const uint32_t first = c.fixedBegin[word];
                k = c.fixedTopics[first + random.Below(c.fixedBegin[word + 1] - first)];
            } else {
                k = random.Below(c.topics);
            }
            m_State.topic[i] = k;
            m_State.wordTopics.Increment(word, k);
            w.AddToDoc(k);
            ++w.totals[k];
        }
        w.StoreDoc(m_State.docTopics, d);
    }
    m_Deltas.Record(chunk, w.totals, m_State.totals);
}

template <class Entry>
void TSparseSampler<Entry>::SampleTask(TWorkerScratch& w, uint32_t chunk, uint32_t part)
{
    if (m_Corpus.fixedTopics.empty())
        SampleTokens<false>(w, chunk, part);
    else
        SampleTokens<true>(w, chunk, part);
}

template <class Entry>
template <bool kFixedWords>
void TSparseSampler<Entry>::SampleTokens(TWorkerScratch& w, uint32_t chunk, uint32_t part)
{
    const TCorpus& c = m_Corpus;
    TSparseCounts<Entry>& wordTopics = m_State.wordTopics;
    TRandom random = m_State.random[chunk];
    const uint32_t K = c.topics;
    const double alpha = m_State.priors.alpha;
    const double beta = m_State.priors.beta;
    const double vBeta = beta * c.words;
    const double alphaBeta = alpha * beta;
    const unsigned bits = wordTopics.TopicBits();
    const Entry one = wordTopics.One();
    const Entry mask = one - 1;

    w.totals = m_State.totals;
    uint32_t* totals = w.totals.data();
    uint32_t* docCount = w.docCount.data();
    uint32_t* docTopic = w.docTopic.data();
    uint32_t* docPos = w.docPos.data();
    double* inv = w.inv.data();
    double* coef = w.coef.data();
    double* terms = w.terms.data();
    const uint32_t* word = c.word.data();
    uint32_t* topic = m_State.topic.data();

    double s = 0; // smoothing bucket: sum of alpha beta / (n_k + V beta)
    for (uint32_t k = 0; k < K; ++k) {
        inv[k] = 1.0 / (totals[k] + vBeta);
        coef[k] = alpha * inv[k];
        s += alphaBeta * inv[k];
    }
    const uint32_t taskEnd = c.segEnd[size_t(chunk) * c.segments + part];

    for (uint32_t d = c.chunkBegin[chunk]; d < c.chunkBegin[chunk + 1]; ++d) {
        const uint32_t end = c.SegmentEnd(chunk, d, part);
        uint32_t i = c.SegmentBegin(d, part);
        if (i == end)
            continue;
        if (m_Runner->Stopping())
            return;

        double r = 0; // document bucket: sum of n_dk beta / (n_k + V beta)
        w.LoadDoc(m_State.docTopics, d, [&](uint32_t k) {
            coef[k] = (alpha + docCount[k]) * inv[k];
            r += docCount[k] * inv[k];
        });
        r *= beta;
        uint32_t docTopics = w.docTopics;

        for (; i < end; ++i) {
            if (i + kPrefetchDistance < taskEnd)
                __builtin_prefetch(wordTopics.Begin(word[i + kPrefetchDistance]));
            const uint32_t v = word[i];
            const uint32_t t = topic[i];

            // The conditional without this token differs from the current counts only at t, so
            // the sums are adjusted in registers and nothing is written unless the topic moves.
            const double docT = docCount[t] - 1.0;
            const double invT = 1.0 / (totals[t] - 1.0 + vBeta);
            const double coefT = (alpha + docT) * invT;
            const double coefKept = coef[t];
            const double sT = s + alphaBeta * (invT - inv[t]);
            const double rT = r + beta * (docT * invT - (docT + 1.0) * inv[t]);

            Entry* list = wordTopics.Begin(v);
            const uint32_t n = wordTopics.Size(v);
            uint32_t k = K;
            uint32_t own = n;     // position of t in the word's list, when taken out there
            uint32_t drawnAt = n; // position of k in the word's list when drawn from it
            if (kFixedWords && c.IsFixed(v)) {
                k = DrawFixed(w, v, t, coefT, random);
            } else {
                // Take the token out of its word's entry (which may reach 0 for now) and out of
                // t's coefficient; heavy topics sit near the front, so t is found quickly.
                own = 0;
                while ((list[own] & mask) != t)
                    ++own;
                list[own] -= one;
                coef[t] = coefT;
                // terms[j]: cumulative word bucket, sum of (alpha + n_dk) n_wk / (n_k + V beta).
                double q = 0;
                for (uint32_t j = 0; j < n; ++j) {
                    q += double(int64_t(list[j] >> bits)) * coef[list[j] & mask];
                    terms[j] = q;
                }
                double u = random.Uniform() * (sT + rT + q);
                if (u < q) {
                    uint32_t j = 0;
                    while (j + 1 < n && terms[j] <= u)
                        ++j;
                    k = static_cast<uint32_t>(list[j] & mask);
                    drawnAt = j;
                } else {
                    u -= q;
                    if (u < rT) {
                        for (uint32_t j = 0; j < docTopics; ++j) {
                            const uint32_t kj = docTopic[j];
                            u -= kj == t ? beta * docT * invT : beta * docCount[kj] * inv[kj];
                            if (u < 0) {
                                k = kj;
                                break;
                            }
                        }
                    } else {
                        u -= rT;
                    }
                    if (k == K) {
                        // Rounding can leave a sliver of u past the last bucket: take the last topic.
                        k = K - 1;
                        for (uint32_t kj = 0; kj < K; ++kj) {
                            u -= alphaBeta * (kj == t ? invT : inv[kj]);
                            if (u < 0) {
                                k = kj;
                                break;
                            }
                        }
                    }
                }
            }
            if (k == t) {
                if (own < n)
                    list[own] += one;
                coef[t] = coefKept;
                continue;
            }

            // Move the token from t to k; an emptied entry of t gives its place to the last one.
            if (own == n)
                wordTopics.Decrement(v, t);
            else if (wordTopics.RemoveIfEmpty(v, own) && drawnAt == n - 1)
                drawnAt = own;
            if (drawnAt < n)
                wordTopics.IncrementAt(v, drawnAt);
            else
                wordTopics.Increment(v, k);
            --totals[t];
            if (--docCount[t] == 0) {
                const uint32_t last = docTopic[--docTopics];
                docTopic[docPos[t]] = last;
                docPos[last] = docPos[t];
            }
            inv[t] = invT;
            coef[t] = coefT;
            s = sT;
            r = rT;

            const double invOld = inv[k];
            const double docOld = docCount[k];
            ++totals[k];
            if (docCount[k]++ == 0) {
                docPos[k] = docTopics;
                docTopic[docTopics++] = k;
            }
            inv[k] = 1.0 / (totals[k] + vBeta);
            coef[k] = (alpha + docOld + 1.0) * inv[k];
            s += alphaBeta * (inv[k] - invOld);
            r += beta * ((docOld + 1.0) * inv[k] - docOld * invOld);
            topic[i] = k;
        }

        w.docTopics = docTopics;
        w.StoreDoc(m_State.docTopics, d, [&](uint32_t k) { coef[k] = alpha * inv[k]; });
    }
    m_State.random[chunk] = random;
    m_Deltas.Record(chunk, w.totals, m_State.totals);
}

template <class Entry>
uint32_t TSparseSampler<Entry>::DrawFixed(TWorkerScratch& w, uint32_t word, uint32_t current,
                                          double coefCurrent, TRandom& random) const
{
    const TCorpus& c = m_Corpus;
    const uint32_t first = c.fixedBegin[word];
    const uint32_t n = c.fixedBegin[word + 1] - first;
    const double beta = m_State.priors.beta;
    double total = 0;
    for (uint32_t j = 0; j < n; ++j) {
        const uint32_t k = c.fixedTopics[first + j];
        const bool own = k == current;
        const int64_t count = int64_t(m_State.wordTopics.Count(word, k)) - own;
        w.terms[j] = (own ? coefCurrent : w.coef[k]) * (double(count) + beta);
        total += w.terms[j];
    }
    double u = random.Uniform() * total;
    uint32_t j = 0;
    while (j + 1 < n && u >= w.terms[j])
        u -= w.terms[j++];
    return c.fixedTopics[first + j];
}

template class TSparseSampler<uint32_t>;
template class TSparseSampler<uint64_t>;

} // namespace corvane::gibbslda
