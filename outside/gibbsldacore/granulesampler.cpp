#include "outside/gibbsldacore/granulesampler.h"

#include <algorithm>

namespace corvane::gibbslda {

namespace {

constexpr uint32_t kCovered = UINT32_MAX;

} // namespace

template <class Entry>
TGranuleSampler<Entry>::TGranuleSampler(TLdaState<Entry>& state, uint32_t window)
    : m_State(state), m_Corpus(state.corpus), m_Window(window),
      m_Changes(size_t(state.corpus.parts) * state.corpus.parts),
      m_Deltas(state.corpus.parts, state.corpus.topics)
{
    // Slices of about equal token mass within each chunk.
    const TCorpus& c = m_Corpus;
    const uint32_t P = c.parts;
    m_SliceBegin.resize(size_t(P) * (P + 1));
    for (uint32_t chunk = 0; chunk < P; ++chunk) {
        const uint32_t first = c.chunkBegin[chunk];
        const uint32_t last = c.chunkBegin[chunk + 1];
        uint64_t mass = 0;
        for (uint32_t d = first; d < last; ++d)
            mass += c.docLength[d];
        uint32_t* begin = &m_SliceBegin[size_t(chunk) * (P + 1)];
        std::fill(begin, begin + P + 1, last);
        begin[0] = first;
        uint64_t seen = 0;
        uint32_t next = 1;
        for (uint32_t d = first; d < last && next < P; ++d) {
            while (next < P && seen * P >= mass * next)
                begin[next++] = d;
            seen += c.docLength[d];
        }
    }
}

template <class Entry>
bool TGranuleSampler<Entry>::Initialize(TStageRunner& runner)
{
    return RunStages(runner, &TGranuleSampler::InitTask);
}

template <class Entry>
bool TGranuleSampler<Entry>::Sweep(TStageRunner& runner)
{
    return RunStages(runner, &TGranuleSampler::SampleTask);
}

template <class Entry>
bool TGranuleSampler<Entry>::RunStages(TStageRunner& runner, TTaskFn task)
{
    m_Runner = &runner;
    while (m_Scratch.size() < runner.Threads())
        m_Scratch.emplace_back(m_Corpus.topics);
    const uint32_t P = m_Corpus.parts;
    for (uint32_t slice = 0; slice < P; ++slice) {
        if (!runner.Run(P, [&](uint32_t worker, uint32_t chunk) {
                TScratch& w = m_Scratch[worker];
                w.doc.totals = m_State.totals;
                (this->*task)(w, chunk, slice);
                m_Deltas.Record(chunk, w.doc.totals, m_State.totals);
            }))
            return false;
        if (!runner.Run(P, [&](uint32_t, uint32_t part) { ApplyChanges(part); }))
            return false;
        m_Deltas.MergeInto(m_State.totals);
    }
    return true;
}

template <class Entry>
void TGranuleSampler<Entry>::InitTask(TScratch& w, uint32_t chunk, uint32_t slice)
{
    const TCorpus& c = m_Corpus;
    TRandom& random = m_State.random[chunk];
    const uint32_t* begin = &m_SliceBegin[size_t(chunk) * (c.parts + 1)];
    for (uint32_t d = begin[slice]; d < begin[slice + 1]; ++d) {
        if (m_Runner->Stopping())
            return;
        w.doc.LoadDoc(m_State.docTopics, d);
        for (uint32_t i = c.SegmentBegin(d, 0), end = c.SegmentEnd(chunk, d, 0); i < end; ++i) {
            const uint32_t word = c.word[i];
            const uint32_t first = c.fixedBegin[word];
            const uint32_t k = c.IsFixed(word)
                                   ? c.fixedTopics[first + random.Below(c.fixedBegin[word + 1] - first)]
                                   : random.Below(c.topics);
            m_State.topic[i] = k;
            w.doc.AddToDoc(k);
            ++w.doc.totals[k];
            m_Changes[size_t(chunk) * c.parts + c.wordPart[word]].push_back({word, c.topics, k});
        }
        w.doc.StoreDoc(m_State.docTopics, d);
    }
}

template <class Entry>
void TGranuleSampler<Entry>::SampleTask(TScratch& w, uint32_t chunk, uint32_t slice)
{
    const uint32_t* begin = &m_SliceBegin[size_t(chunk) * (m_Corpus.parts + 1)];
    for (uint32_t d = begin[slice]; d < begin[slice + 1]; ++d) {
        if (m_Runner->Stopping())
            return;
        SampleDoc(w, chunk, d);
    }
}

template <class Entry>
void TGranuleSampler<Entry>::SampleDoc(TScratch& w, uint32_t chunk, uint32_t d)
{
    const TCorpus& c = m_Corpus;
    TRandom& random = m_State.random[chunk];
    const uint32_t first = c.SegmentBegin(d, 0);
    const uint32_t length = c.SegmentEnd(chunk, d, 0) - first;
    if (length == 0)
        return;
    w.pool.resize(length);
    w.where.resize(length);
    for (uint32_t p = 0; p < length; ++p)
        w.pool[p] = w.where[p] = p;
    uint32_t uncovered = length;
    auto cover = [&](uint32_t p) {
        const uint32_t last = w.pool[--uncovered];
        w.pool[w.where[p]] = last;
        w.where[last] = w.where[p];
        w.where[p] = kCovered;
    };

    w.doc.LoadDoc(m_State.docTopics, d);
    while (uncovered > 0) {
        const uint32_t center = w.pool[random.Below(uncovered)];
        const uint32_t token = first + center;
        const uint32_t k = DrawCenter(w, c.word[token], m_State.topic[token], random);
        Move(w, chunk, token, k);
        cover(center);
        const uint32_t from = center > m_Window ? center - m_Window : 0;
        const uint32_t to = std::min(length - 1, center + m_Window);
        for (uint32_t p = from; p <= to; ++p)
            if (w.where[p] != kCovered && Allows(c.word[first + p], k)) {
                Move(w, chunk, first + p, k);
                cover(p);
            }
    }
    w.doc.StoreDoc(m_State.docTopics, d);
}

template <class Entry>
uint32_t TGranuleSampler<Entry>::DrawCenter(TScratch& w, uint32_t word, uint32_t current,
                                            TRandom& random)
{
    const TCorpus& c = m_Corpus;
    const TSparseCounts<Entry>& lists = m_State.wordTopics;
    const double alpha = m_State.priors.alpha;
    const double beta = m_State.priors.beta;
    const double vBeta = beta * c.words;

    // The word's counts as of the start of the stage, which still hold this token's topic.
    const Entry* e = lists.Begin(word);
    const uint32_t n = lists.Size(word);
    for (uint32_t j = 0; j < n; ++j)
        w.wordCount[lists.TopicOf(e[j])] = static_cast<uint32_t>(lists.CountOf(e[j]));
    --w.wordCount[current];
    w.doc.RemoveFromDoc(current);
    --w.doc.totals[current];

    const bool fixed = c.IsFixed(word);
    const uint32_t choices = fixed ? c.fixedBegin[word + 1] - c.fixedBegin[word] : c.topics;
    double total = 0;
    for (uint32_t j = 0; j < choices; ++j) {
        const uint32_t k = fixed ? c.fixedTopics[c.fixedBegin[word] + j] : j;
        total += (w.doc.docCount[k] + alpha) * (w.wordCount[k] + beta) / (w.doc.totals[k] + vBeta);
        w.doc.terms[j] = total;
    }
    const double u = random.Uniform() * total;
    uint32_t j = 0;
    while (j + 1 < choices && u >= w.doc.terms[j])
        ++j;

    for (uint32_t i = 0; i < n; ++i)
        w.wordCount[lists.TopicOf(e[i])] = 0;
    w.wordCount[current] = 0;
    w.doc.AddToDoc(current);
    ++w.doc.totals[current];
    return fixed ? c.fixedTopics[c.fixedBegin[word] + j] : j;
}

template <class Entry>
void TGranuleSampler<Entry>::Move(TScratch& w, uint32_t chunk, uint32_t token, uint32_t to)
{
    const uint32_t from = m_State.topic[token];
    if (from == to)
        return;
    w.doc.RemoveFromDoc(from);
    --w.doc.totals[from];
    w.doc.AddToDoc(to);
    ++w.doc.totals[to];
    m_State.topic[token] = to;
    const uint32_t word = m_Corpus.word[token];
    m_Changes[size_t(chunk) * m_Corpus.parts + m_Corpus.wordPart[word]].push_back({word, from, to});
}

template <class Entry>
void TGranuleSampler<Entry>::ApplyChanges(uint32_t part)
{
    const uint32_t P = m_Corpus.parts;
    for (uint32_t chunk = 0; chunk < P; ++chunk) {
        std::vector<TChange>& changes = m_Changes[size_t(chunk) * P + part];
        for (const TChange& change : changes) {
            if (change.from != m_Corpus.topics)
                m_State.wordTopics.Decrement(change.word, change.from);
            m_State.wordTopics.Increment(change.word, change.to);
        }
        changes.clear();
    }
}

template <class Entry>
bool TGranuleSampler<Entry>::Allows(uint32_t word, uint32_t k) const
{
    const TCorpus& c = m_Corpus;
    if (!c.IsFixed(word))
        return true;
    const auto first = c.fixedTopics.begin() + c.fixedBegin[word];
    const auto last = c.fixedTopics.begin() + c.fixedBegin[word + 1];
    return std::binary_search(first, last, k);
}

template class TGranuleSampler<uint32_t>;
template class TGranuleSampler<uint64_t>;

} // namespace corvane::gibbslda
