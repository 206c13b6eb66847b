#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::bench {

/// Documents as word-index arrays, in the shape gibbsldaCalc takes them.
struct TDocuments
{
    std::vector<std::vector<int32_t>> docs;
    std::vector<int32_t> lengths;
    std::vector<const int32_t*> pointers;
    uint64_t tokens = 0;
};

/// One benchmark corpus folder: train.txt, test.txt, vocab_train.txt and, for the synthetic
/// corpus, true_phi.npy (the generating topics over the full vocabulary).
struct TBenchCorpus
{
    std::string name;
    TDocuments train;
    TDocuments test;
    std::vector<std::string> vocabulary;
    // Generating topics restricted to the training vocabulary: trueTopics x vocabulary.size().
    uint32_t trueTopics = 0;
    std::vector<float> truePhi;
};

/// Loads a corpus folder; throws std::runtime_error with a message when a file is missing or
/// malformed.
TBenchCorpus LoadBenchCorpus(const std::string& folder);

} // namespace corvane::bench
