#include "outside/gibbsldacore/topicmoves.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace corvane::gibbslda {

namespace {

// Counts below this take their lgamma from a table; larger ones are computed.
constexpr uint64_t kTableSize = 1 << 16;
constexpr uint32_t kMaxTopics = 1024;
// How many documents, words or blocks a serial pass handles between looks at the stop flag.
constexpr uint32_t kStopCheckMask = 4095;

std::vector<double> Table(uint64_t size, double shift, double (*f)(double))
{
    std::vector<double> t(size);
    for (uint64_t n = 0; n < size; ++n)
        t[n] = f(double(n) + shift);
    return t;
}

double Lgamma(double x)
{
    return std::lgamma(x);
}

double Log(double x)
{
    return std::log(x);
}

// table[n] = f(n + shift), computed past the table's end.
double At(const std::vector<double>& table, uint64_t n, double shift, double (*f)(double))
{
    return n < table.size() ? table[n] : f(double(n) + shift);
}

} // namespace

template <class Entry>
TTopicMoves<Entry>::TTopicMoves(TLdaState<Entry>& state, uint64_t seed)
    : m_State(state), m_Corpus(state.corpus), m_Seed(TRandom::Derive(seed, ~uint64_t(0)))
{
    const TPriors p = state.priors;
    const uint64_t counts = std::min<uint64_t>(m_Corpus.MaxCount() + 1, kTableSize);
    m_LgAlpha = Table(counts, p.alpha, Lgamma);
    m_LgBeta = Table(counts, p.beta, Lgamma);
    m_LogBeta = Table(counts, p.beta, Log);
    const uint64_t totals = std::min<uint64_t>(m_Corpus.tokens + 1, kTableSize);
    m_LgVBeta = Table(totals, p.beta * m_Corpus.words, Lgamma);
}

template <class Entry>
bool TTopicMoves<Entry>::Suits(const TCorpus& corpus)
{
    return corpus.topics >= 3 && corpus.topics <= kMaxTopics && corpus.fixedTopics.empty();
}

template <class Entry>
void TTopicMoves<Entry>::Release()
{
    // Swapped with empty ones: assigning {} would keep the capacity.
    decltype(m_TopicBlocks)().swap(m_TopicBlocks);
    decltype(m_Blocks)().swap(m_Blocks);
    decltype(m_Half)().swap(m_Half);
    decltype(m_Word)().swap(m_Word);
    decltype(m_Scratch)().swap(m_Scratch);
}

template <class Entry>
void TTopicMoves<Entry>::GroupTokens(const TStageRunner& runner)
{
    const TCorpus& c = m_Corpus;
    const TSparseCounts<Entry>& docs = m_State.docTopics;
    const uint32_t K = c.topics;

    m_TopicBlocks.assign(K + 1, 0);
    for (uint32_t d = 0; d < c.docs; ++d) {
        const Entry* e = docs.Begin(d);
        for (uint32_t j = 0, n = docs.Size(d); j < n; ++j)
            ++m_TopicBlocks[docs.TopicOf(e[j]) + 1];
    }
    std::partial_sum(m_TopicBlocks.begin(), m_TopicBlocks.end(), m_TopicBlocks.begin());
    const uint32_t blocks = m_TopicBlocks[K];
    m_Blocks.resize(blocks + 1);
    m_Blocks[blocks] = {c.docs, static_cast<uint32_t>(c.tokens)};
    m_Half.assign(blocks, 0);
    m_Word.resize(c.tokens);

    std::vector<uint32_t> nextBlock(m_TopicBlocks.begin(), m_TopicBlocks.end() - 1);
    std::vector<uint32_t> nextToken(K, 0);
    for (uint32_t k = 1; k < K; ++k)
        nextToken[k] = nextToken[k - 1] + m_State.totals[k - 1];
    std::vector<uint32_t> cursor(K);
    // Chunks are ascending document ranges, so each topic's blocks come out by document.
    for (uint32_t chunk = 0; chunk < c.parts; ++chunk)
        for (uint32_t d = c.chunkBegin[chunk]; d < c.chunkBegin[chunk + 1]; ++d) {
            if ((d & kStopCheckMask) == 0 && runner.Stopping())
                return;
            const Entry* e = docs.Begin(d);
            for (uint32_t j = 0, n = docs.Size(d); j < n; ++j) {
                const uint32_t k = docs.TopicOf(e[j]);
                m_Blocks[nextBlock[k]++] = {d, nextToken[k]};
                cursor[k] = nextToken[k];
                nextToken[k] += static_cast<uint32_t>(docs.CountOf(e[j]));
            }
            for (uint32_t s = 0; s < c.segments; ++s)
                for (uint32_t i = c.SegmentBegin(d, s); i < c.SegmentEnd(chunk, d, s); ++i)
                    m_Word[cursor[m_State.topic[i]]++] = c.word[i];
        }
}

template <class Entry>
double TTopicMoves<Entry>::ScoreSplit(const TStageRunner& runner, TScratch& scratch,
                                      uint32_t topic, TRandom random)
{
    const uint32_t first = m_TopicBlocks[topic];
    const uint32_t last = m_TopicBlocks[topic + 1];
    if (last - first < 2)
        return -HUGE_VAL;
    const double beta = m_State.priors.beta;
    const double vBeta = beta * m_Corpus.words;
    std::vector<uint32_t>& count0 = scratch.count[0];
    std::vector<uint32_t>& count1 = scratch.count[1];
    uint64_t size[2] = {0, 0};

    auto add = [&](uint32_t block, uint8_t half) {
        std::vector<uint32_t>& count = scratch.count[half];
        for (uint32_t at = m_Blocks[block].begin; at < m_Blocks[block + 1].begin; ++at)
            ++count[m_Word[at]];
        size[half] += m_Blocks[block + 1].begin - m_Blocks[block].begin;
        m_Half[block] = half;
    };
    auto remove = [&](uint32_t block) {
        const uint8_t half = m_Half[block];
        std::vector<uint32_t>& count = scratch.count[half];
        for (uint32_t at = m_Blocks[block].begin; at < m_Blocks[block + 1].begin; ++at)
            --count[m_Word[at]];
        size[half] -= m_Blocks[block + 1].begin - m_Blocks[block].begin;
        return half;
    };
    // Draws the block's half from the ratio of its predictive probabilities under the two.
    auto draw = [&](uint32_t block) {
        const uint32_t begin = m_Blocks[block].begin;
        const uint32_t end = m_Blocks[block + 1].begin;
        double odds = 0; // log p(block | half 1) - log p(block | half 0)
        for (uint32_t at = begin; at < end; ++at) {
            const uint32_t w = m_Word[at];
            odds += At(m_LogBeta, count1[w]++, beta, Log) - At(m_LogBeta, count0[w]++, beta, Log);
        }
        for (uint32_t at = begin; at < end; ++at) {
            --count0[m_Word[at]];
            --count1[m_Word[at]];
        }
        odds -= At(m_LgVBeta, size[1] + (end - begin), vBeta, Lgamma) -
                At(m_LgVBeta, size[1], vBeta, Lgamma);
        odds += At(m_LgVBeta, size[0] + (end - begin), vBeta, Lgamma) -
                At(m_LgVBeta, size[0], vBeta, Lgamma);
        return uint8_t(random.Uniform() * (1.0 + std::exp(-odds)) < 1.0 ? 1 : 0);
    };

    // A random block seeds one half and the block least like it (per token) the other; the
    // rest join one by one, then each is drawn again given all the others.
    std::vector<uint32_t>& order = scratch.order;
    order.resize(last - first);
    std::iota(order.begin(), order.end(), first);
    for (size_t j = order.size() - 1; j > 0; --j)
        std::swap(order[j], order[random.Below(static_cast<uint32_t>(j + 1))]);
    add(order[0], 0);
    size_t unlike = 1;
    double lowest = HUGE_VAL;
    for (size_t j = 1; j < order.size(); ++j) {
        double fit = 0;
        for (uint32_t at = m_Blocks[order[j]].begin; at < m_Blocks[order[j] + 1].begin; ++at)
            fit += At(m_LogBeta, count0[m_Word[at]], beta, Log);
        fit /= m_Blocks[order[j] + 1].begin - m_Blocks[order[j]].begin;
        if (fit < lowest) {
            lowest = fit;
            unlike = j;
        }
    }
    std::swap(order[1], order[unlike]);
    add(order[1], 1);
    bool stopped = false;
    for (size_t j = 2; j < order.size() && !stopped; ++j) {
        add(order[j], draw(order[j]));
        stopped = (j & kStopCheckMask) == 0 && runner.Stopping();
    }
    for (size_t j = 0; j < order.size() && !stopped; ++j) {
        const uint8_t half = remove(order[j]);
        add(order[j], size[half] == 0 ? half : draw(order[j])); // a half never empties
        stopped = (j & kStopCheckMask) == 0 && runner.Stopping();
    }

    const uint32_t begin = m_Blocks[first].begin;
    const uint32_t end = m_Blocks[last].begin;
    double gain = At(m_LgVBeta, end - begin, vBeta, Lgamma) + m_LgVBeta[0] -
                  At(m_LgVBeta, size[0], vBeta, Lgamma) - At(m_LgVBeta, size[1], vBeta, Lgamma);
    for (uint32_t at = begin; at < end; ++at) {
        const uint32_t w = m_Word[at];
        const uint64_t c0 = count0[w];
        const uint64_t c1 = count1[w];
        if (c0 + c1 == 0)
            continue;
        gain += At(m_LgBeta, c0, beta, Lgamma) + At(m_LgBeta, c1, beta, Lgamma) -
                At(m_LgBeta, c0 + c1, beta, Lgamma) - m_LgBeta[0];
        count0[w] = count1[w] = 0;
    }
    // Blocks keep their topic's document shares, so the document side of the posterior is
    // unchanged.
    return stopped ? -HUGE_VAL : gain;
}

template <class Entry>
std::vector<typename TTopicMoves<Entry>::TMerge>
TTopicMoves<Entry>::ScoreMerges(const TStageRunner& runner) const
{
    const TCorpus& c = m_Corpus;
    const uint32_t K = c.topics;
    const TPriors p = m_State.priors;
    const double vBeta = p.beta * c.words;
    std::vector<double> gain(size_t(K) * K, 0.0);
    // Pooling two topics' counts of one word or one document changes the posterior only where
    // both counts are nonzero.
    auto pairs = [&](const TSparseCounts<Entry>& lists, uint32_t list,
                     const std::vector<double>& table, double shift) {
        const Entry* e = lists.Begin(list);
        const uint32_t n = lists.Size(list);
        for (uint32_t x = 0; x < n; ++x) {
            const uint64_t cx = lists.CountOf(e[x]);
            const uint32_t kx = lists.TopicOf(e[x]);
            const double base = table[0] - At(table, cx, shift, Lgamma);
            for (uint32_t y = x + 1; y < n; ++y) {
                const uint64_t cy = lists.CountOf(e[y]);
                const uint32_t ky = lists.TopicOf(e[y]);
                gain[size_t(std::min(kx, ky)) * K + std::max(kx, ky)] +=
                    base + At(table, cx + cy, shift, Lgamma) - At(table, cy, shift, Lgamma);
            }
        }
    };
    for (uint32_t w = 0; w < c.words; ++w) {
        if ((w & kStopCheckMask) == 0 && runner.Stopping())
            return {};
        pairs(m_State.wordTopics, w, m_LgBeta, p.beta);
    }
    for (uint32_t d = 0; d < c.docs; ++d) {
        if ((d & kStopCheckMask) == 0 && runner.Stopping())
            return {};
        pairs(m_State.docTopics, d, m_LgAlpha, p.alpha);
    }

    std::vector<TMerge> merges;
    merges.reserve(size_t(K) * (K - 1) / 2);
    for (uint32_t a = 0; a < K; ++a)
        for (uint32_t b = a + 1; b < K; ++b) {
            const uint64_t na = m_State.totals[a];
            const uint64_t nb = m_State.totals[b];
            const double g = gain[size_t(a) * K + b] - At(m_LgVBeta, na + nb, vBeta, Lgamma) -
                             m_LgVBeta[0] + At(m_LgVBeta, na, vBeta, Lgamma) +
                             At(m_LgVBeta, nb, vBeta, Lgamma);
            merges.push_back(na >= nb ? TMerge{g, a, b} : TMerge{g, b, a});
        }
    // Ties go by topic numbers, so the order is the same on every machine.
    std::sort(merges.begin(), merges.end(), [](const TMerge& x, const TMerge& y) {
        if (x.gain != y.gain)
            return x.gain > y.gain;
        return x.from != y.from ? x.from < y.from : x.into < y.into;
    });
    return merges;
}

template <class Entry>
uint8_t TTopicMoves<Entry>::HalfOf(uint32_t topic, uint32_t doc) const
{
    const auto first = m_Blocks.begin() + m_TopicBlocks[topic];
    const auto last = m_Blocks.begin() + m_TopicBlocks[topic + 1];
    const auto block = std::lower_bound(first, last, doc,
                                        [](const TBlock& b, uint32_t d) { return b.doc < d; });
    return m_Half[block - m_Blocks.begin()];
}

template <class Entry>
void TTopicMoves<Entry>::Apply(const std::vector<std::pair<TMerge, uint32_t>>& moves)
{
    const TCorpus& c = m_Corpus;
    const uint32_t K = c.topics;
    std::vector<uint32_t> into(K);
    std::iota(into.begin(), into.end(), 0u);
    std::vector<uint32_t> splitTo(K, K);
    for (const auto& [merge, split] : moves) {
        into[merge.from] = merge.into;
        splitTo[split] = merge.from;
    }
    c.ForEachToken([&](uint32_t i, uint32_t d) {
        const uint32_t from = m_State.topic[i];
        uint32_t to = into[from];
        if (splitTo[from] < K && HalfOf(from, d) == 1)
            to = splitTo[from];
        if (to == from)
            return;
        const uint32_t word = c.word[i];
        m_State.wordTopics.Decrement(word, from);
        m_State.wordTopics.Increment(word, to);
        m_State.docTopics.Decrement(d, from);
        m_State.docTopics.Increment(d, to);
        --m_State.totals[from];
        ++m_State.totals[to];
        m_State.topic[i] = to;
    });
}

template <class Entry>
bool TTopicMoves<Entry>::Round(TStageRunner& runner, TRoundResult& result)
{
    result = {};
    const TCorpus& c = m_Corpus;
    const uint32_t K = c.topics;
    if (!runner.Run(1, [&](uint32_t, uint32_t) { GroupTokens(runner); }))
        return false;

    while (m_Scratch.size() < runner.Threads()) {
        m_Scratch.emplace_back();
        m_Scratch.back().count[0].assign(c.words, 0);
        m_Scratch.back().count[1].assign(c.words, 0);
    }
    const uint64_t roundSeed = TRandom::Derive(m_Seed, m_Rounds++);
    std::vector<double> splitGain(K);
    if (!runner.Run(K, [&](uint32_t worker, uint32_t k) {
            const TRandom random(TRandom::Derive(roundSeed, k));
            splitGain[k] = ScoreSplit(runner, m_Scratch[worker], k, random);
        }))
        return false;
    std::vector<TSplit> splits;
    for (uint32_t k = 0; k < K; ++k)
        if (splitGain[k] >= kMinSplitGain * m_State.totals[k])
            splits.push_back({splitGain[k], k});
    if (splits.empty())
        return true;
    std::sort(splits.begin(), splits.end(), [](const TSplit& x, const TSplit& y) {
        return x.gain != y.gain ? x.gain > y.gain : x.topic < y.topic;
    });

    std::vector<TMerge> merges;
    if (!runner.Run(1, [&](uint32_t, uint32_t) { merges = ScoreMerges(runner); }))
        return false;
    std::vector<bool> used(K, false);
    std::vector<std::pair<TMerge, uint32_t>> moves;
    for (const TSplit& split : splits) {
        if (used[split.topic])
            continue;
        for (const TMerge& merge : merges) {
            if (merge.gain + split.gain <= 0)
                break;
            if (used[merge.into] || used[merge.from] || merge.into == split.topic ||
                merge.from == split.topic)
                continue;
            used[merge.into] = used[merge.from] = used[split.topic] = true;
            moves.push_back({merge, split.topic});
            break;
        }
    }
    if (moves.empty())
        return true;
    if (!runner.Run(1, [&](uint32_t, uint32_t) { Apply(moves); }))
        return false;
    result.moves = static_cast<uint32_t>(moves.size());
    for (const auto& [merge, split] : moves)
        result.gain += merge.gain + splitGain[split];
    return true;
}

template class TTopicMoves<uint32_t>;
template class TTopicMoves<uint64_t>;

} // namespace corvane::gibbslda
