#include "tests/prep/stagetestkit.h"

#include <algorithm>
#include <random>
#include <stdexcept>

namespace corvane::test {

TStageRun RunToEnd(TCorpusStage& stage)
{
    TStageRun run;
    stage.OnProgress = [&](TCorpusStage&, int32_t progress, bool done, uint32_t exitcode) {
        if (!done) {
            run.progress.push_back(progress);
            return;
        }
        ++run.doneReports;
        run.exitcode = exitcode;
        run.progress.push_back(progress);
    };
    stage.Start();
    stage.WaitFor();
    run.error = stage.ErrorCode();
    run.message = stage.LastError();
    return run;
}

void WriteContainer(const std::string& path, const std::vector<TLemDoc>& docs)
{
    TBinaryDoc doc;
    if (!doc.Create(path, true))
        throw std::runtime_error("cannot create " + path);
    for (const TLemDoc& d : docs)
        doc.AddDocuments(d.id, "orig " + std::to_string(d.id), d.lem);
    doc.Close();
}

TLdaDocs ReadLda(const std::string& path)
{
    TBinaryDoc doc;
    TLdaDocs out;
    if (!doc.Create(path, false))
        return out;
    const int32_t count = doc.GetLDADocumentsBinaryCount();
    for (int32_t i = 0; i < count; ++i) {
        int32_t docid, size;
        if (!(i == 0 ? doc.GetLDADocumentBinaryFirst(docid, size)
                     : doc.GetLDADocumentBinaryNext(docid, size)))
            break;
        std::vector<uint32_t> ids(static_cast<size_t>(size));
        doc.GetLDADocumentBinary(ids.data(), size);
        out.emplace_back(docid, std::move(ids));
    }
    return out;
}

TWordAndFreqArray ReadWordMap(const std::string& path)
{
    TBinaryDoc doc;
    if (!doc.Create(path, false))
        return {};
    TWordAndFreqArray words(static_cast<size_t>(doc.GetLDAWordmapBinarySize()));
    doc.GetLDAWordmapBinary(words.data(), static_cast<int32_t>(words.size()));
    return words;
}

std::vector<std::string> WordsOf(const TWordAndFreqArray& words)
{
    std::vector<std::string> out;
    for (const TWordAndFreq& wf : words)
        out.push_back(WordOf(wf));
    return out;
}

void WriteContainerWithLda(const std::string& path, const TLdaDocs& lda,
                           const TWordAndFreqArray& wordMap)
{
    std::vector<TLemDoc> docs;
    for (const auto& d : lda)
        docs.push_back({d.first, "{x}"});
    WriteContainer(path, docs);
    TBinaryDoc doc;
    doc.Create(path, false);
    for (const auto& [docid, ids] : lda)
        doc.AddLDADocumentBinary(ids.data(), static_cast<int32_t>(ids.size()), docid);
    doc.AddLDAWordmapBinary(wordMap.data(), static_cast<int32_t>(wordMap.size()));
    doc.Close();
}

namespace {

// Single-byte letters: Cyrillic lower case (0xE0-0xFF), ё, Ukrainian і, Latin.
const std::string kLower = "\xE0\xE1\xE2\xE5\xE8\xEA\xEB\xEC\xEE\xEF\xF0\xF1\xF2\xF3\xFF\xB8\xB3"
                           "abcdefz";

char Upper(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0xE0)
        return static_cast<char>(u - 0x20);
    if (u == 0xB8)
        return '\xA8';
    if (u == 0xB3)
        return '\xB2';
    return static_cast<char>(c - 32);
}

} // namespace

void WriteRandomContainer(const std::string& path, uint32_t seed, int32_t docs)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };

    std::vector<std::string> vocab;
    const int vocabSize = 20 + pick(60);
    for (int i = 0; i < vocabSize; ++i) {
        std::string w;
        const int len = 1 + pick(7);
        for (int k = 0; k < len; ++k)
            w += kLower[static_cast<size_t>(pick(static_cast<int>(kLower.size())))];
        vocab.push_back(w);
    }
    // Longer than 56 bytes: two share their first 56 bytes, so their stored texts are equal.
    const std::string longWord(60, '\xEF');
    vocab.push_back(longWord + "\xE0");
    vocab.push_back(longWord + "\xE1");
    // Two words with the same checksum: one word for the whole system.
    vocab.push_back("wcavffy");
    vocab.push_back("tmvfppf");

    auto word = [&] {
        // Skewed towards the first words, so frequencies repeat and ties are common.
        std::string w = vocab[static_cast<size_t>(pick(1 + pick(static_cast<int>(vocab.size()))))];
        if (pick(8) == 0)
            for (char& c : w)
                if (pick(2) == 0)
                    c = Upper(c);
        return w;
    };
    auto text = [&]() -> std::string {
        switch (pick(20)) {
        case 0:
            return "";
        case 1:
            return "{00000}";
        case 2:
            return "no braces at all";
        case 3:
            return "{" + word(); // unterminated: loses its last character
        case 4:
            return "{ \t}{.}";
        default:
            break;
        }
        std::string t;
        const int n = 1 + pick(12);
        for (int i = 0; i < n; ++i) {
            switch (pick(8)) {
            case 0:
                t += "{" + word() + "?}";
                break;
            case 1:
                t += "{" + word() + "|" + word() + "}";
                break;
            case 2:
                t += " {\t" + word() + " \x01}";
                break;
            case 3:
                t += "{" + word() + "." + word() + "}";
                break;
            default:
                t += "{" + word() + "}";
                break;
            }
        }
        return t;
    };

    std::vector<TLemDoc> list;
    for (int32_t id = 0; id < docs; ++id) {
        if (pick(15) == 0)
            continue; // a missing id
        list.push_back({id, text()});
        if (pick(25) == 0)
            list.push_back({id, text()}); // the same id again: lookups take the first
    }
    if (pick(2) == 0)
        list.push_back({docs + 3, text()}); // an id outside 0 .. count-1: never read
    list.push_back({-1, text()});
    // Index order is not id order, but the first entry of a repeated id must stay first.
    std::stable_sort(list.begin(), list.end(), [&](const TLemDoc& a, const TLemDoc& b) {
        return (static_cast<uint32_t>(a.id) * 2654435761u) % 7 <
               (static_cast<uint32_t>(b.id) * 2654435761u) % 7;
    });
    WriteContainer(path, list);
}

std::vector<std::string> RandomStopWords(const TWordAndFreqArray& wordMap, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<std::string> out;
    for (const TWordAndFreq& wf : wordMap) {
        const uint32_t r = rng() % 6;
        if (r == 0)
            out.push_back(WordOf(wf));
        else if (r == 1)
            out.push_back(WordOf(wf) + " ");
        else if (r == 2 && !WordOf(wf).empty())
            out.push_back(std::string(1, Upper(WordOf(wf)[0])) + WordOf(wf).substr(1));
    }
    out.push_back("not a word of it");
    out.push_back("");
    return out;
}

} // namespace corvane::test
