#include "outside/gibbsldacore/corpus.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <queue>

namespace corvane::gibbslda {

bool IsValidInput(const TInput& in)
{
    if (in.M < 1 || in.V < 1 || in.lengths == nullptr || in.docs == nullptr)
        return false;
    if (in.fixedCount < 0 || (in.fixedCount > 0 && in.fixed == nullptr))
        return false;
    uint64_t tokens = 0;
    for (int32_t d = 0; d < in.M; ++d) {
        const int32_t length = in.lengths[d];
        if (length < 0 || (length > 0 && in.docs[d] == nullptr))
            return false;
        for (int32_t i = 0; i < length; ++i)
            if (in.docs[d][i] < 0 || in.docs[d][i] >= in.V)
                return false;
        tokens += static_cast<uint64_t>(length);
    }
    return tokens < std::numeric_limits<uint32_t>::max();
}

uint64_t TCorpus::MaxCount() const
{
    uint32_t most = 0;
    for (uint32_t f : wordFreq)
        most = std::max(most, f);
    for (uint32_t n : docLength)
        most = std::max(most, n);
    return most;
}

namespace {

// Contiguous document ranges of about equal token mass.
void CutChunks(TCorpus& c)
{
    c.chunkBegin.assign(c.parts + 1, c.docs);
    c.chunkBegin[0] = 0;
    uint64_t seen = 0;
    uint32_t next = 1;
    for (uint32_t d = 0; d < c.docs && next < c.parts; ++d) {
        while (next < c.parts && seen * c.parts >= c.tokens * next)
            c.chunkBegin[next++] = d;
        seen += c.docLength[d];
    }
}

// Vocabulary parts of about equal token mass: the most frequent words first, each to the
// lightest part so far.
void CutVocabulary(TCorpus& c)
{
    std::vector<uint32_t> byFreq(c.words);
    for (uint32_t w = 0; w < c.words; ++w)
        byFreq[w] = w;
    std::stable_sort(byFreq.begin(), byFreq.end(),
                     [&](uint32_t a, uint32_t b) { return c.wordFreq[a] > c.wordFreq[b]; });
    using TLoad = std::pair<uint64_t, uint32_t>; // (tokens, part), lightest and lowest first
    std::priority_queue<TLoad, std::vector<TLoad>, std::greater<TLoad>> loads;
    for (uint32_t p = 0; p < c.parts; ++p)
        loads.push({0, p});
    c.wordPart.assign(c.words, 0);
    for (uint32_t w : byFreq) {
        TLoad lightest = loads.top();
        loads.pop();
        c.wordPart[w] = lightest.second;
        lightest.first += c.wordFreq[w];
        loads.push(lightest);
    }
    c.wordOrder = std::vector<uint32_t>(c.words);
    for (uint32_t w = 0; w < c.words; ++w)
        c.wordOrder[w] = w;
    std::stable_sort(c.wordOrder.begin(), c.wordOrder.end(),
                     [&](uint32_t a, uint32_t b) { return c.wordPart[a] < c.wordPart[b]; });
}

void PlaceTokens(const TInput& in, bool splitByPart, TCorpus& c)
{
    const uint32_t S = c.segments;
    auto segmentOf = [&](int32_t w) { return splitByPart ? c.wordPart[w] : 0u; };

    // Count each document's tokens per segment, then turn the counts into start positions in
    // chunk, segment, document order.
    c.segBegin.assign(size_t(S) * c.docs, 0);
    for (uint32_t d = 0; d < c.docs; ++d)
        for (uint32_t i = 0; i < c.docLength[d]; ++i)
            ++c.segBegin[size_t(segmentOf(in.docs[d][i])) * c.docs + d];
    c.segEnd.assign(size_t(c.parts) * S, 0);
    uint32_t position = 0;
    for (uint32_t chunk = 0; chunk < c.parts; ++chunk)
        for (uint32_t s = 0; s < S; ++s) {
            for (uint32_t d = c.chunkBegin[chunk]; d < c.chunkBegin[chunk + 1]; ++d) {
                const uint32_t count = c.segBegin[size_t(s) * c.docs + d];
                c.segBegin[size_t(s) * c.docs + d] = position;
                position += count;
            }
            c.segEnd[size_t(chunk) * S + s] = position;
        }

    c.word.assign(c.tokens, 0);
    std::vector<uint32_t> cursor(S);
    for (uint32_t d = 0; d < c.docs; ++d) {
        for (uint32_t s = 0; s < S; ++s)
            cursor[s] = c.segBegin[size_t(s) * c.docs + d];
        for (uint32_t i = 0; i < c.docLength[d]; ++i) {
            const int32_t w = in.docs[d][i];
            c.word[cursor[segmentOf(w)]++] = static_cast<uint32_t>(w);
        }
    }
}

void CollectFixedTopics(const TInput& in, uint32_t K, TCorpus& c)
{
    std::vector<std::vector<uint32_t>> allowed(c.words);
    for (int32_t r = 0; r < in.fixedCount; ++r) {
        const TFixedTopics& record = in.fixed[r];
        if (record.word < 0 || record.word >= in.V)
            continue;
        for (int32_t topic : record.topics)
            if (topic >= 0 && static_cast<uint32_t>(topic) < K)
                allowed[record.word].push_back(static_cast<uint32_t>(topic));
    }
    c.fixedBegin.assign(c.words + 1, 0);
    c.fixedTopics.clear();
    for (uint32_t w = 0; w < c.words; ++w) {
        std::vector<uint32_t>& topics = allowed[w];
        std::sort(topics.begin(), topics.end());
        topics.erase(std::unique(topics.begin(), topics.end()), topics.end());
        c.fixedTopics.insert(c.fixedTopics.end(), topics.begin(), topics.end());
        c.fixedBegin[w + 1] = static_cast<uint32_t>(c.fixedTopics.size());
    }
}

} // namespace

void BuildCorpus(const TInput& in, uint32_t K, uint32_t parts, bool splitByPart, TCorpus& c)
{
    c.docs = static_cast<uint32_t>(in.M);
    c.words = static_cast<uint32_t>(in.V);
    c.topics = K;
    c.parts = parts;
    c.segments = splitByPart ? parts : 1;
    c.docLength.assign(c.docs, 0);
    c.wordFreq.assign(c.words, 0);
    c.tokens = 0;
    for (uint32_t d = 0; d < c.docs; ++d) {
        c.docLength[d] = static_cast<uint32_t>(in.lengths[d]);
        c.tokens += c.docLength[d];
        for (uint32_t i = 0; i < c.docLength[d]; ++i)
            ++c.wordFreq[in.docs[d][i]];
    }
    CutChunks(c);
    CutVocabulary(c);
    PlaceTokens(in, splitByPart, c);
    CollectFixedTopics(in, K, c);
}

} // namespace corvane::gibbslda
