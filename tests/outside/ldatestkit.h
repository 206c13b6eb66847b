#pragma once

#include "models/gibbsldacore.h"
#include "outside/gibbsldacore/gibbsldacore.h"
#include "platform/event.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace corvane::test {

/// Documents as word-index arrays in the shape the engine takes them.
struct TDocs
{
    int32_t V = 0;
    std::vector<std::vector<int32_t>> words;
    std::vector<int32_t> lengths;
    std::vector<const int32_t*> pointers;

    void Add(std::vector<int32_t> doc)
    {
        words.push_back(std::move(doc));
        lengths.clear();
        pointers.clear();
        for (const std::vector<int32_t>& d : words) {
            lengths.push_back(static_cast<int32_t>(d.size()));
            pointers.push_back(d.data());
        }
    }
};

/// `count` documents of `length` tokens each, drawn from words first .. first + span - 1 by a
/// fixed generator.
inline void AddDocsOver(TDocs& docs, int count, int length, int32_t first, int32_t span,
                        uint32_t seed)
{
    for (int d = 0; d < count; ++d) {
        std::vector<int32_t> doc;
        for (int i = 0; i < length; ++i) {
            seed = seed * 1664525u + 1013904223u;
            doc.push_back(first + static_cast<int32_t>((seed >> 16) % uint32_t(span)));
        }
        docs.Add(std::move(doc));
    }
}

/// Every report the engine sent, with copies of its matrices.
struct TRecorder
{
    struct TReport
    {
        uint32_t kind;
        uint32_t iteration;
        std::vector<std::vector<double>> rows;
    };

    uint32_t M = 0;
    uint32_t K = 0;
    uint32_t V = 0;
    std::vector<TReport> reports;
    std::function<void(const TReport&)> onReport;

    TLdaWindow Window() { return {this, &Send}; }

    /// The last report of `kind`, or null.
    const TReport* Last(uint32_t kind) const
    {
        for (auto it = reports.rbegin(); it != reports.rend(); ++it)
            if (it->kind == kind)
                return &*it;
        return nullptr;
    }

    static intptr_t Send(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam)
    {
        auto* self = static_cast<TRecorder*>(context);
        EXPECT_EQ(message, WM_LDADATAREADY);
        TReport report{static_cast<uint32_t>(wParam & 0xff), static_cast<uint32_t>(wParam >> 8), {}};
        const auto* rows = reinterpret_cast<const double* const*>(lParam);
        const bool theta = report.kind == GIBBSLDA_KIND_THETA;
        const uint32_t rowCount = theta ? self->M : self->K;
        const uint32_t columns = theta ? self->K : self->V;
        for (uint32_t i = 0; i < rowCount; ++i)
            report.rows.emplace_back(rows[i], rows[i] + columns);
        self->reports.push_back(std::move(report));
        if (self->onReport)
            self->onReport(self->reports.back());
        return 0;
    }
};

/// Wraps an auto-reset TEvent as the engine's stop event.
struct TStopEvent
{
    TEvent event;
    TLdaStopEvent Handle() { return {&event, &Poll}; }
    static int32_t Poll(void* context)
    {
        return static_cast<TEvent*>(context)->Wait(std::chrono::milliseconds(0)) ? 1 : 0;
    }
};

/// One engine call with every argument spelled out; defaults make a valid small run.
struct TCall
{
    const TLdaWindow* window = nullptr;
    const TLdaStopEvent* stop = nullptr;
    int32_t threads = 1;
    double alpha = 0.1;
    double beta = 0.01;
    int32_t K = 2;
    int32_t niters = 20;
    int32_t savestep = 0;
    int32_t M = 0;
    int32_t V = 0;
    const int32_t* lengths = nullptr;
    const int32_t* const* docs = nullptr;
    std::vector<TFixedTopics> fixed;
    std::optional<int32_t> fixedCount; // fixed.size() unless set
    int32_t granlda = 0;
    int32_t granwnd = 0;

    void Over(const TDocs& d)
    {
        M = static_cast<int32_t>(d.words.size());
        V = d.V;
        lengths = d.lengths.data();
        docs = d.pointers.data();
    }

    int32_t Run() const
    {
        return GibbsLdaCore().Calc(window, stop, threads, alpha, beta, K, niters, savestep, 100, M,
                                   V, lengths, docs,
                                   fixedCount.value_or(static_cast<int32_t>(fixed.size())),
                                   fixed.empty() ? nullptr : fixed.data(), granlda, granwnd);
    }

    /// Runs with a recorder sized for this call.
    int32_t Run(TRecorder& recorder)
    {
        recorder.M = static_cast<uint32_t>(M);
        recorder.K = static_cast<uint32_t>(K);
        recorder.V = static_cast<uint32_t>(V);
        const TLdaWindow w = recorder.Window();
        window = &w;
        const int32_t result = Run();
        window = nullptr;
        return result;
    }
};

/// Word-topic counts recovered from a phi report: phi[k][w] = (n_kw + beta) / (n_k + V beta),
/// read against a word that occurs nowhere (`unusedWord`), whose count is 0 in every topic.
inline std::vector<std::vector<long>> CountsFromPhi(const TRecorder::TReport& phi, double beta,
                                                   int32_t unusedWord)
{
    std::vector<std::vector<long>> counts;
    for (const std::vector<double>& row : phi.rows) {
        const double unit = row[unusedWord] / beta; // 1 / (n_k + V beta)
        std::vector<long> n;
        for (double p : row)
            n.push_back(std::lround(p / unit - beta));
        counts.push_back(std::move(n));
    }
    return counts;
}

} // namespace corvane::test
