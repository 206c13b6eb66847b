// Inspection commands over a document container: info, docs, wordmap.
#include "cli/args.h"
#include "cli/commands.h"
#include "container/binarydoc.h"
#include "container/metablock.h"
#include "platform/codepage.h"
#include "platform/userlocale.h"

#include <cstdio>
#include <iostream>
#include <unordered_map>

namespace corvane::cli {
namespace {

void OpenContainer(TBinaryDoc& doc, const std::string& path)
{
    if (!doc.Create(path, false))
        throw TCliError("cannot open container " + doc.LastError());
}

TWordAndFreqArray ReadWordMap(TBinaryDoc& doc)
{
    const int32_t count = doc.GetLDAWordmapBinarySize();
    TWordAndFreqArray words(static_cast<size_t>(count));
    if (count > 0 && !doc.GetLDAWordmapBinary(words.data(), count))
        throw TCliError("cannot read the word map of " + doc.FileName());
    return words;
}

void PrintLda(TBinaryDoc& doc, int32_t docid, TBinaryDoc::TLDASection kind,
              const std::unordered_map<uint32_t, std::string>& words)
{
    if (kind == TBinaryDoc::TLDASection::Text) {
        std::cout << "lda: " << Cp1251ToUtf8(doc.GetLDADocument(docid)) << "\n";
        return;
    }
    const int32_t n = doc.GetLDADocumentBinarySize(docid);
    std::vector<uint32_t> ids(static_cast<size_t>(n));
    if (n > 0 && !doc.GetLDADocumentBinary(ids.data(), n)) {
        std::cout << "lda: (unreadable)\n";
        return;
    }
    std::cout << "lda (" << n << " words):";
    for (uint32_t id : ids) {
        auto it = words.find(id);
        std::cout << ' ' << id << '/' << (it == words.end() ? "?" : Cp1251ToUtf8(it->second));
    }
    std::cout << "\n";
}

} // namespace

int RunInfo(const std::vector<std::string>& argv)
{
    TArgs args(argv, {}, {});
    const std::string& path = args.Required(0, "container file");
    args.ExpectPositional(1);
    TBinaryDoc doc;
    OpenContainer(doc, path);
    int32_t ldaCount = 0;
    const auto kind = doc.GetLDASection(ldaCount);
    std::cout << "file: " << path << "\n"
              << "magic: " << Cp1251ToUtf8(doc.Signature()) << "\n"
              << "documents: " << doc.GetDocumentCount() << "\n";
    switch (kind) {
    case TBinaryDoc::TLDASection::None: std::cout << "LDA section: none\n"; break;
    case TBinaryDoc::TLDASection::Text:
        std::cout << "LDA section: text, " << ldaCount << " documents\n";
        break;
    case TBinaryDoc::TLDASection::Binary:
        std::cout << "LDA section: binary, " << doc.GetLDADocumentsBinaryCount() << " documents\n";
        break;
    }
    std::cout << "word map: " << doc.GetLDAWordmapBinarySize() << " words\n";
    return 0;
}

int RunDocs(const std::vector<std::string>& argv)
{
    TArgs args(argv, {"from", "count"}, {"lda"});
    const std::string& path = args.Required(0, "container file");
    args.ExpectPositional(1);
    TBinaryDoc doc;
    OpenContainer(doc, path);
    const int32_t total = doc.GetDocumentCount();
    const int32_t from = std::max(0, args.GetInt("from", 0));
    const int32_t count = args.GetInt("count", total);
    const bool meta = MetaBlockDecodable(doc.Signature());

    int32_t ldaCount = 0;
    const auto kind = args.Has("lda") ? doc.GetLDASection(ldaCount) : TBinaryDoc::TLDASection::None;
    std::unordered_map<uint32_t, std::string> words;
    if (kind == TBinaryDoc::TLDASection::Binary)
        for (const auto& wf : ReadWordMap(doc))
            words.emplace(wf.wfuID, WordOf(wf));

    for (int64_t id = from; id < std::min<int64_t>(total, int64_t(from) + std::max(count, 0)); ++id) {
        const auto docid = static_cast<int32_t>(id);
        std::string orig, lem, block;
        std::cout << "=== document " << docid << " ===\n";
        if (!doc.GetOrigDocument(docid, orig, &block) || !doc.GetDocument(docid, lem)) {
            std::cout << "(not in the index or unreadable)\n";
            continue;
        }
        std::cout << "original: " << Cp1251ToUtf8(orig) << "\n"
                  << "lemmatized: " << Cp1251ToUtf8(lem) << "\n";
        TMetaFields fields;
        if (block.empty()) {
            std::cout << "metadata: none\n";
        } else if (!meta) {
            std::cout << "metadata: " << block.size() << " bytes, older layout\n";
        } else if (!DecodeMetaBlock(block, fields)) {
            std::cout << "metadata: corrupted block\n";
        } else {
            std::cout << "author: " << Cp1251ToUtf8(fields[0]) << "\n";
            for (int i = 1; i < kMetaFieldCount; ++i)
                if (!fields[i].empty())
                    std::cout << "field " << i << ": " << Cp1251ToUtf8(fields[i]) << "\n";
        }
        if (kind != TBinaryDoc::TLDASection::None)
            PrintLda(doc, docid, kind, words);
    }
    return 0;
}

int RunWordmap(const std::vector<std::string>& argv)
{
    TArgs args(argv, {}, {});
    const std::string& path = args.Required(0, "container file");
    args.ExpectPositional(1);
    TBinaryDoc doc;
    OpenContainer(doc, path);
    std::cout << "id\tfrequency\tword\ttfidf\n";
    for (const auto& wf : ReadWordMap(doc))
        std::cout << wf.wfuID << '\t' << wf.wfFreq << '\t' << Cp1251ToUtf8(WordOf(wf)) << '\t'
                  << FormatCellNumber(wf.wfTFIDF) << "\n";
    return 0;
}

} // namespace corvane::cli
