#pragma once

#include <string>
#include <vector>

namespace corvane::test {

/// The dictionary stage as first written, slow on purpose and single-threaded: documents in id
/// order, the word list kept in order by a linear search and a shift on every word, TF-IDF by
/// walking every LDA document for every word. False where that version stops.
bool ReferenceStage2(const std::string& infname, const std::string& outfname);

/// Stop-word removal as first written, on one thread, with the LDA documents taken in id order
/// (ties in file order) and a linear search over the stop-word ids.
bool ReferenceStage3(const std::string& infname, const std::string& outfname,
                     const std::vector<std::string>& stopwords);

} // namespace corvane::test
