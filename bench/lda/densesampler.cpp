#include "bench/lda/densesampler.h"

namespace corvane::bench {

TDenseSampler::TDenseSampler(const TDocuments& docs, uint32_t V, uint32_t K, double alpha,
                             double beta, uint64_t seed)
    : m_Docs(docs), m_V(V), m_K(K), m_Alpha(alpha), m_Beta(beta), m_Random(seed),
      m_Topic(docs.docs.size()), m_WordTopic(size_t(V) * K), m_DocTopic(docs.docs.size() * K),
      m_Total(K), m_Cumulative(K)
{
    for (size_t d = 0; d < docs.docs.size(); ++d)
        for (int32_t w : docs.docs[d]) {
            const uint32_t k = static_cast<uint32_t>(Uniform() * K);
            m_Topic[d].push_back(k);
            ++m_WordTopic[size_t(w) * K + k];
            ++m_DocTopic[d * K + k];
            ++m_Total[k];
        }
}

// splitmix64: plenty for a reference run.
double TDenseSampler::Uniform()
{
    uint64_t z = (m_Random += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return double((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
}

void TDenseSampler::Sweep()
{
    const double vBeta = m_V * m_Beta;
    for (size_t d = 0; d < m_Docs.docs.size(); ++d) {
        uint32_t* docTopic = &m_DocTopic[d * m_K];
        for (size_t i = 0; i < m_Docs.docs[d].size(); ++i) {
            uint32_t* wordTopic = &m_WordTopic[size_t(m_Docs.docs[d][i]) * m_K];
            uint32_t& z = m_Topic[d][i];
            --wordTopic[z];
            --docTopic[z];
            --m_Total[z];
            double total = 0;
            for (uint32_t k = 0; k < m_K; ++k)
                m_Cumulative[k] = total +=
                    (docTopic[k] + m_Alpha) * (wordTopic[k] + m_Beta) / (m_Total[k] + vBeta);
            const double u = Uniform() * total;
            z = 0;
            while (z + 1 < m_K && m_Cumulative[z] <= u)
                ++z;
            ++wordTopic[z];
            ++docTopic[z];
            ++m_Total[z];
        }
    }
}

TModel TDenseSampler::Model() const
{
    TModel m;
    m.K = m_K;
    m.M = static_cast<uint32_t>(m_Docs.docs.size());
    m.V = m_V;
    m.theta.resize(size_t(m.M) * m_K);
    m.phiByWord.resize(size_t(m_V) * m_K);
    for (uint32_t d = 0; d < m.M; ++d) {
        const double norm = m_Docs.docs[d].size() + m_K * m_Alpha;
        for (uint32_t k = 0; k < m_K; ++k)
            m.theta[size_t(d) * m_K + k] = float((m_DocTopic[size_t(d) * m_K + k] + m_Alpha) / norm);
    }
    const double vBeta = m_V * m_Beta;
    for (uint32_t w = 0; w < m_V; ++w)
        for (uint32_t k = 0; k < m_K; ++k)
            m.phiByWord[size_t(w) * m_K + k] =
                float((m_WordTopic[size_t(w) * m_K + k] + m_Beta) / (m_Total[k] + vBeta));
    return m;
}

} // namespace corvane::bench
