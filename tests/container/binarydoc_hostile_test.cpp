// Corrupted and truncated containers must give false / 0 / empty, never a crash, a hang or an
// allocation larger than the file. Every case is made in code from one good container.
#include "container/binarydoc.h"
#include "tests/container/containerbytes.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace corvane;
using corvane::test::TBytes;

namespace {

std::string GoodContainer(int64_t* ldaOffs)
{
    TBytes lda;
    lda.I32(0).I32(2).I32(0).I32(2).I32(7).I32(8).I32(1).I32(1).I32(7).I32(2);
    const auto a = test::MakeWord(7, 2, "aa", 0.1);
    const auto b = test::MakeWord(8, 1, "bb", 0.2);
    lda.Raw(&a, sizeof a).Raw(&b, sizeof b);
    return test::ContainerWithLDA(lda.Data(), ldaOffs);
}

// Calls every read operation the way a careful caller does (sizes from the file itself), and
// returns the number of documents, LDA documents and words it could read.
int ExerciseAll(const std::string& path)
{
    TBinaryDoc doc;
    if (!doc.Create(path, false))
        return -1;
    int readable = 0;
    std::string orig, lem, meta;
    for (int32_t id = -1; id <= doc.GetDocumentCount(); ++id) {
        readable += doc.GetDocuments(id, orig, lem);
        readable += doc.GetOrigDocument(id, orig, &meta);
        readable += doc.GetLemDocument(id, lem, &meta);
    }
    const int32_t count = doc.GetLDADocumentsBinaryCount();
    int32_t docid = 0, size = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!(i == 0 ? doc.GetLDADocumentBinaryFirst(docid, size)
                     : doc.GetLDADocumentBinaryNext(docid, size)))
            break;
        std::vector<uint32_t> ids(static_cast<size_t>(size));
        readable += doc.GetLDADocumentBinary(ids.data(), size);
    }
    for (int32_t id = 0; id < 3; ++id)
        readable += doc.GetLDADocumentBinarySize(id) > 0;
    const int32_t words = doc.GetLDAWordmapBinarySize();
    std::vector<TWordAndFreq> map(static_cast<size_t>(words));
    readable += words > 0 && doc.GetLDAWordmapBinary(map.data(), words);
    int32_t n;
    doc.GetLDASection(n);
    doc.GetLDADocument(1);
    return readable;
}

} // namespace

TEST(TBinaryDocHostileTest, GoodContainerReadsCompletely)
{
    test::TTempDir dir;
    int64_t ldaOffs = 0;
    test::WriteFileBytes(dir.File("c.cvlda"), GoodContainer(&ldaOffs));
    // 2 documents x 3 reads, 2 LDA documents, 2 size lookups, the word map.
    EXPECT_EQ(ExerciseAll(dir.File("c.cvlda")), 6 + 2 + 2 + 1);
}

TEST(TBinaryDocHostileTest, NamedCorruptions)
{
    test::TTempDir dir;
    int64_t ldaOffs = 0;
    const std::string good = GoodContainer(&ldaOffs);
    const int64_t indexOffs = ldaOffs - 84;
    auto put32 = [](std::string s, int64_t at, int32_t v) {
        std::memcpy(s.data() + at, &v, 4);
        return s;
    };
    auto put64 = [](std::string s, int64_t at, int64_t v) {
        std::memcpy(s.data() + at, &v, 8);
        return s;
    };
    const int64_t firstEntry = indexOffs + 4;
    const int64_t wordmapCount = ldaOffs + 8 + 16 + 12;
    struct Case
    {
        const char* name;
        std::string bytes;
        bool opens;
        int readable; // what ExerciseAll still reads
    };
    const Case cases[] = {
        {"shorter than the header", good.substr(0, 10), false, -1},
        {"index offset past the end", put64(good, 8, 1 << 30), false, -1},
        {"index offset inside the header", put64(good, 8, 3), false, -1},
        {"negative index offset", put64(good, 8, -40), false, -1},
        {"index size not a multiple of 40", put32(good, indexOffs, 41), false, -1},
        {"negative index size", put32(good, indexOffs, -40), false, -1},
        {"index larger than the file", put32(good, indexOffs, 40 * 1000000), false, -1},
        {"negative text size", put32(good, firstEntry + 4, -5), true, 9},
        {"text offset past the end", put64(good, firstEntry + 8, 1LL << 40), true, 9},
        {"huge metadata size", put32(good, firstEntry + 28, INT32_MAX), true, 9},
        {"LDA count larger than the file holds", put32(good, ldaOffs + 4, INT32_MAX), true, 6},
        {"negative LDA count", put32(good, ldaOffs + 4, -1), true, 6},
        {"negative LDA document length", put32(good, ldaOffs + 12, -3), true, 6},
        {"LDA document longer than the file", put32(good, ldaOffs + 12, 1 << 28), true, 6},
        {"word map count too large", put32(good, wordmapCount, 1 << 20), true, 10},
        {"negative word map count", put32(good, wordmapCount, -2), true, 10},
        {"index offset 0: no documents", put64(good, 8, 0), true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("c.cvlda");
        test::WriteFileBytes(path, c.bytes);
        TBinaryDoc doc;
        EXPECT_EQ(doc.Create(path, false), c.opens);
        if (!c.opens) {
            EXPECT_FALSE(doc.LastError().empty());
        }
        EXPECT_EQ(ExerciseAll(path), c.readable);
    }
}

TEST(TBinaryDocHostileTest, UnclosedContainerOpensEmptyAndRefusesAnLDASection)
{
    test::TTempDir dir;
    const std::string path = dir.File("unclosed.cvlda");
    TBytes b;
    b.Str("Qorvelv3").I64(0).Str("text written before a crash");
    test::WriteFileBytes(path, b.Data());
    TBinaryDoc doc;
    ASSERT_TRUE(doc.Create(path, false));
    EXPECT_EQ(doc.GetDocumentCount(), 0);
    const uint32_t id = 1;
    EXPECT_FALSE(doc.AddLDADocumentBinary(&id, 1, 0));
    EXPECT_FALSE(doc.AddLDADocument("1\r\n"));
    EXPECT_EQ(test::ReadFileBytes(path), b.Data());
}

TEST(TBinaryDocHostileTest, EveryTruncationAndRandomDamageIsSurvived)
{
    test::TTempDir dir;
    int64_t ldaOffs = 0;
    const std::string good = GoodContainer(&ldaOffs);
    const std::string path = dir.File("c.cvlda");
    for (size_t cut = 0; cut < good.size(); ++cut) {
        test::WriteFileBytes(path, good.substr(0, cut));
        ExerciseAll(path);
    }
    std::mt19937 rng(12345);
    for (int round = 0; round < 600; ++round) {
        std::string bad = good;
        for (int k = 0; k < 3; ++k)
            bad[rng() % bad.size()] = static_cast<char>(rng());
        test::WriteFileBytes(path, bad);
        ExerciseAll(path);
    }
}
