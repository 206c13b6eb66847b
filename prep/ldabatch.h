#pragma once

#include "container/binarydoc.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace corvane {

/// LDA documents on their way to a container: the word ids document after document, and each
/// document's id and word count.
struct TLdaBatch
{
    std::vector<uint32_t> ids;
    std::vector<std::pair<int32_t, int32_t>> docs;

    /// Appends the documents to the binary LDA section of `out`, counting them in `written`.
    bool AppendTo(TBinaryDoc& out, int32_t& written) const
    {
        const uint32_t* at = ids.data();
        for (const auto& [docid, count] : docs) {
            if (!out.AddLDADocumentBinary(at, count, docid))
                return false;
            at += count;
            ++written;
        }
        return true;
    }
};

} // namespace corvane
