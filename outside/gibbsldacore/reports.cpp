#include "outside/gibbsldacore/reports.h"

#include <vector>

namespace corvane::gibbslda {

namespace {

// rows[i] points at row i of a rows x columns block of doubles.
struct TMatrix
{
    TMatrix(uint32_t rowCount, uint32_t columns) : values(size_t(rowCount) * columns), rows(rowCount)
    {
        for (uint32_t i = 0; i < rowCount; ++i)
            rows[i] = values.data() + size_t(i) * columns;
    }

    std::vector<double> values;
    std::vector<double*> rows;
};

void Send(const TLdaWindow& window, uint32_t kind, uint32_t iteration, TMatrix& matrix)
{
    const uintptr_t wParam = kind | (uintptr_t(iteration) << 8);
    window.send(window.context, WM_LDADATAREADY, wParam,
                reinterpret_cast<intptr_t>(matrix.rows.data()));
}

} // namespace

template <class Entry>
void SendReports(const TLdaWindow& window, uint32_t iteration, const TLdaState<Entry>& state)
{
    if (window.send == nullptr)
        return;
    const TCorpus& c = state.corpus;
    const uint32_t K = c.topics;
    const double alpha = state.priors.alpha;
    const double beta = state.priors.beta;
    {
        TMatrix theta(c.docs, K);
        for (uint32_t d = 0; d < c.docs; ++d) {
            const double norm = 1.0 / (c.docLength[d] + K * alpha);
            double* row = theta.rows[d];
            for (uint32_t k = 0; k < K; ++k)
                row[k] = alpha * norm;
            const Entry* e = state.docTopics.Begin(d);
            for (uint32_t j = 0, n = state.docTopics.Size(d); j < n; ++j)
                row[state.docTopics.TopicOf(e[j])] = (state.docTopics.CountOf(e[j]) + alpha) * norm;
        }
        Send(window, GIBBSLDA_KIND_THETA, iteration, theta);
    }
    {
        TMatrix phi(K, c.words);
        const double vBeta = c.words * beta;
        for (uint32_t k = 0; k < K; ++k) {
            const double smooth = beta / (state.totals[k] + vBeta);
            double* row = phi.rows[k];
            for (uint32_t w = 0; w < c.words; ++w)
                row[w] = smooth;
        }
        for (uint32_t w = 0; w < c.words; ++w) {
            const Entry* e = state.wordTopics.Begin(w);
            for (uint32_t j = 0, n = state.wordTopics.Size(w); j < n; ++j) {
                const uint32_t k = state.wordTopics.TopicOf(e[j]);
                phi.rows[k][w] = (state.wordTopics.CountOf(e[j]) + beta) / (state.totals[k] + vBeta);
            }
        }
        Send(window, GIBBSLDA_KIND_PHI, iteration, phi);
    }
}

template void SendReports(const TLdaWindow&, uint32_t, const TLdaState<uint32_t>&);
template void SendReports(const TLdaWindow&, uint32_t, const TLdaState<uint64_t>&);

} // namespace corvane::gibbslda
