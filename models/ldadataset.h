#pragma once

#include "container/binarydoc.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

/// One document of the model input: its words as word-map indices.
struct TldaDocument
{
    std::vector<int32_t> words;
    std::string rawstr; // always empty: the words come from the binary section
    int32_t wlen = 0;
};

/// The documents of a loaded container, indexed by document id.
struct TldaDataset
{
    std::vector<TldaDocument> docs;
    int32_t M = 0; // documents
    int32_t V = 0; // words in the word map
};

/// What a loaded container gives the model runs. A run keeps the object it started with alive,
/// so loading another container meanwhile never pulls the arrays from under the engine.
struct TLdaInput
{
    std::string path; // the container
    TWordAndFreqArray wordmap;
    TldaDataset dataset;
};

} // namespace corvane
