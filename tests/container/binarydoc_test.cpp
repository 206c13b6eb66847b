#include "container/binarydoc.h"
#include "tests/container/containerbytes.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <thread>

using namespace corvane;
using corvane::test::TBytes;

namespace {

std::string Wordmap(const std::vector<TWordAndFreq>& words)
{
    TBytes b;
    b.I32(static_cast<int32_t>(words.size()));
    for (const auto& w : words)
        b.Raw(&w, sizeof w);
    return b.Data();
}

} // namespace

TEST(TBinaryDocTest, EmptyDocumentHasThreeOffsetsAt16)
{
    test::TTempDir dir;
    const std::string path = dir.File("one.cvlda");
    {
        TBinaryDoc doc;
        ASSERT_TRUE(doc.Create(path, true));
        EXPECT_TRUE(doc.Signature().empty());
        ASSERT_TRUE(doc.AddDocuments(0, "", "", nullptr, 0));
    }
    TBytes expected;
    expected.Str("Qorvelv3").I64(16).I32(40).Entry(0, 0, 16, 0, 16, 0, 16);
    EXPECT_EQ(test::ReadFileBytes(path), expected.Data());
}

TEST(TBinaryDocTest, WritesDocumentsMetadataAndIndexExactly)
{
    test::TTempDir dir;
    const std::string path = dir.File("two.cvlda");
    const std::string meta(84, '\0');
    {
        TBinaryDoc doc;
        ASSERT_TRUE(doc.Create(path, true));
        // Index order is arrival order; ids need not follow it.
        ASSERT_TRUE(doc.AddDocuments(5, "orig five", "{five}", meta.data(), 84));
        TMemoryStream orig(std::string("o1")), lem(std::string("{l1}"));
        ASSERT_TRUE(doc.AddDocuments(1, orig, lem));
        EXPECT_EQ(doc.GetDocumentCount(), 2);
        std::string text;
        ASSERT_TRUE(doc.GetDocument(5, text)); // reads work in write mode
        EXPECT_EQ(text, "{five}");
        EXPECT_FALSE(doc.AddLDADocumentBinary(nullptr, 0, 0));
        EXPECT_FALSE(doc.AddLDADocument("x"));
        EXPECT_EQ(doc.GetLDADocumentsBinaryCount(), 0);
        ASSERT_TRUE(doc.Close());
    }
    TBytes expected;
    expected.Str("Qorvelv3").I64(0).Str("orig five").Str("{five}").Str(meta).Str("o1").Str("{l1}");
    expected.Put64At(8, 16 + 9 + 6 + 84 + 2 + 4);
    expected.I32(80).Entry(5, 9, 16, 6, 25, 84, 31).Entry(1, 2, 115, 4, 117, 0, 121);
    EXPECT_EQ(test::ReadFileBytes(path), expected.Data());

    TBinaryDoc doc;
    ASSERT_TRUE(doc.Create(path, false));
    EXPECT_EQ(doc.Signature(), "Qorvelv3");
    EXPECT_EQ(doc.GetDocumentCount(), 2);
    std::string orig, lem, data;
    ASSERT_TRUE(doc.GetDocuments(1, orig, lem));
    EXPECT_EQ(orig + "|" + lem, "o1|{l1}");
    ASSERT_TRUE(doc.GetLemDocument(5, lem, &data));
    EXPECT_EQ(lem, "{five}");
    EXPECT_EQ(data, meta);
    ASSERT_TRUE(doc.GetOrigDocument(1, orig, &data));
    EXPECT_EQ(orig, "o1");
    EXPECT_TRUE(data.empty());
    EXPECT_FALSE(doc.GetDocument(0, lem));
    EXPECT_FALSE(doc.GetDocument(-1, lem));
}

TEST(TBinaryDocTest, ReadsHandMadeBinarySectionAndWordMap)
{
    test::TTempDir dir;
    const std::string path = dir.File("lda.cvlda");
    const auto w1 = test::MakeWord(111, 3, "\xEC\xE0\xEC\xE0", 0.25);
    const auto w2 = test::MakeWord(222, 1, "word", 0.5);
    TBytes lda;
    lda.I32(0).I32(2).I32(1).I32(2).I32(222).I32(111).I32(0).I32(3).I32(111).I32(111).I32(222);
    test::WriteFileBytes(path, test::ContainerWithLDA(lda.Data() + Wordmap({w1, w2})));

    TBinaryDoc doc;
    ASSERT_TRUE(doc.Create(path, false));
    ASSERT_EQ(doc.GetLDADocumentsBinaryCount(), 2);
    int32_t id = -1, n = -1;
    uint32_t ids[3] = {};
    ASSERT_TRUE(doc.GetLDADocumentBinaryFirst(id, n));
    EXPECT_EQ(id, 1);
    EXPECT_EQ(n, 2);
    ASSERT_TRUE(doc.GetLDADocumentBinary(ids, n));
    EXPECT_EQ(ids[0], 222u);
    ASSERT_TRUE(doc.GetLDADocumentBinaryNext(id, n));
    EXPECT_EQ(id, 0);
    ASSERT_TRUE(doc.GetLDADocumentBinary(ids, n));
    EXPECT_EQ(ids[2], 222u);

    EXPECT_EQ(doc.GetLDADocumentBinarySize(0), 3);
    ASSERT_TRUE(doc.GetLDADocumentBinary(ids, 3));
    EXPECT_EQ(ids[0], 111u);
    EXPECT_EQ(doc.GetLDADocumentBinarySize(7), 0);

    ASSERT_EQ(doc.GetLDAWordmapBinarySize(), 2);
    TWordAndFreq words[2];
    ASSERT_TRUE(doc.GetLDAWordmapBinary(words, 2));
    EXPECT_EQ(WordOf(words[0]), "\xEC\xE0\xEC\xE0");
    EXPECT_EQ(words[0].wfFreq, 3);
    EXPECT_EQ(words[1].wfTFIDF, 0.5);
    int32_t count = -1;
    EXPECT_EQ(doc.GetLDASection(count), TBinaryDoc::TLDASection::Binary);
    EXPECT_EQ(count, 2);
}

TEST(TBinaryDocTest, BinarySectionWrittenThenReplacedOnTheNextOpening)
{
    test::TTempDir dir;
    const std::string path = dir.File("replace.cvlda");
    int64_t ldaOffs = 0;
    const std::string base = test::ContainerWithLDA("", &ldaOffs);
    test::WriteFileBytes(path, base);
    const auto w = test::MakeWord(9, 2, "ab", 1.0);
    {
        TBinaryDoc doc;
        ASSERT_TRUE(doc.Create(path, false));
        const uint32_t a[] = {9, 9};
        ASSERT_TRUE(doc.AddLDADocumentBinary(a, 2, 1));
        ASSERT_TRUE(doc.AddLDADocumentBinary(nullptr, 0, 0));
        ASSERT_TRUE(doc.AddLDAWordmapBinary(&w, 1));
        EXPECT_EQ(doc.GetLDADocumentsBinaryCount(), 2); // visible through the same object
    }
    TBytes lda;
    lda.I32(0).I32(2).I32(1).I32(2).I32(9).I32(9).I32(0).I32(0);
    EXPECT_EQ(test::ReadFileBytes(path), base + lda.Data() + Wordmap({w}));
    {
        TBinaryDoc doc;
        ASSERT_TRUE(doc.Create(path, false));
        const uint32_t b[] = {5};
        ASSERT_TRUE(doc.AddLDADocumentBinary(b, 1, 0));
    }
    TBytes replaced;
    replaced.I32(0).I32(1).I32(0).I32(1).I32(5);
    EXPECT_EQ(test::ReadFileBytes(path), base + replaced.Data());
}

TEST(TBinaryDocTest, OlderWordMapRecordsArePaddedWithFFAndTheMagicIsUpgraded)
{
    test::TTempDir dir;
    const std::string path = dir.File("v2.cvlda");
    TBytes lda;
    lda.I32(0).I32(1).I32(0).I32(1).I32(77).I32(1);
    auto w = test::MakeWord(77, 4, "old", 0);
    lda.Raw(&w, kWordAndFreq2Size);
    test::WriteFileBytes(path, test::ContainerWithLDA(lda.Data(), nullptr, "Qorvelv2"));

    TBinaryDoc doc;
    ASSERT_TRUE(doc.Create(path, false));
    EXPECT_EQ(doc.Signature(), "Qorvelv2");
    ASSERT_EQ(doc.GetLDAWordmapBinarySize(), 1);
    TWordAndFreq out;
    ASSERT_TRUE(doc.GetLDAWordmapBinary(&out, 1));
    EXPECT_EQ(out.wfuID, 77u);
    EXPECT_EQ(WordOf(out), "old");
    const auto* bytes = reinterpret_cast<const unsigned char*>(&out);
    for (int i = 68; i < 96; ++i)
        EXPECT_EQ(bytes[i], 0xFF) << i;

    const uint32_t ids[] = {77};
    ASSERT_TRUE(doc.AddLDADocumentBinary(ids, 1, 0));
    EXPECT_EQ(doc.Signature(), "Qorvelv3");
    EXPECT_EQ(test::ReadFileBytes(path).substr(0, 8), "Qorvelv3");
}

TEST(TBinaryDocTest, TextSectionLinesInAnyOrder)
{
    test::TTempDir dir;
    const std::string path = dir.File("text.cvlda");
    test::WriteFileBytes(path, test::ContainerWithLDA(""));
    {
        TBinaryDoc doc;
        ASSERT_TRUE(doc.Create(path, false));
        EXPECT_EQ(doc.GetLDADocument(0), ""); // no section yet
        ASSERT_TRUE(doc.AddLDADocument("6\r\n"));
        for (int i = 0; i < 6; ++i) {
            ASSERT_TRUE(doc.AddLDADocument("line" + std::to_string(i)));
            ASSERT_TRUE(doc.AddLDADocument("\r\n"));
        }
    }
    TBinaryDoc doc;
    ASSERT_TRUE(doc.Create(path, false));
    EXPECT_EQ(doc.GetLDADocument(5), "line5");
    EXPECT_EQ(doc.GetLDADocument(2), "line2");
    EXPECT_EQ(doc.GetLDADocument(3), "line3");
    EXPECT_EQ(doc.GetLDADocument(0), "line0");
    EXPECT_EQ(doc.GetLDADocument(9), "");
    EXPECT_EQ(doc.GetLDADocumentsBinaryCount(), 0);
    EXPECT_EQ(doc.GetLDAWordmapBinarySize(), 0);
    int32_t count = 0;
    EXPECT_EQ(doc.GetLDASection(count), TBinaryDoc::TLDASection::Text);
    EXPECT_EQ(count, 6);

    ASSERT_TRUE(doc.GetLDADocuments(dir.File("section.txt")));
    EXPECT_EQ(test::ReadFileBytes(dir.File("section.txt")).substr(0, 12), "6\r\nline0\r\nli");
}

TEST(TBinaryDocTest, TinyTextSectionAndLastLineWithoutLineEnd)
{
    test::TTempDir dir;
    const std::string tiny = dir.File("tiny.cvlda");
    test::WriteFileBytes(tiny, test::ContainerWithLDA("1"));
    TBinaryDoc doc;
    ASSERT_TRUE(doc.Create(tiny, false));
    EXPECT_EQ(doc.GetLDADocument(0), "");

    const std::string open = dir.File("open.cvlda");
    test::WriteFileBytes(open, test::ContainerWithLDA("2\r\nfirst\r\nsecond"));
    ASSERT_TRUE(doc.Create(open, false));
    EXPECT_EQ(doc.GetLDADocument(1), "second");
    EXPECT_EQ(doc.GetLDADocument(0), "first");
}

TEST(TBinaryDocTest, DuplicateIdsGiveTheFirstEntry)
{
    test::TTempDir dir;
    const std::string path = dir.File("dup.cvlda");
    {
        TBinaryDoc doc;
        ASSERT_TRUE(doc.Create(path, true));
        ASSERT_TRUE(doc.AddDocuments(3, "first", "{1}"));
        ASSERT_TRUE(doc.AddDocuments(3, "second", "{2}"));
        ASSERT_TRUE(doc.AddDocuments(900000000, "far", "{far}"));
    }
    TBinaryDoc doc;
    ASSERT_TRUE(doc.Create(path, false));
    std::string text;
    ASSERT_TRUE(doc.GetDocument(3, text));
    EXPECT_EQ(text, "{1}");
    ASSERT_TRUE(doc.GetDocument(900000000, text));
    EXPECT_EQ(text, "{far}");
    TBinaryDocIdxFile e{};
    ASSERT_TRUE(doc.GetIndexEntry(1, e));
    EXPECT_EQ(e.origsize, 6);
    EXPECT_FALSE(doc.GetIndexEntry(3, e));
}

TEST(TBinaryDocTest, ReadersOnTheSameFileWhileOneObjectWritesTheSection)
{
    test::TTempDir dir;
    const std::string path = dir.File("shared.cvlda");
    {
        TBinaryDoc doc;
        ASSERT_TRUE(doc.Create(path, true));
        for (int i = 0; i < 200; ++i)
            ASSERT_TRUE(doc.AddDocuments(i, "orig" + std::to_string(i), "{w" + std::to_string(i) + "}"));
    }
    TBinaryDoc writer;
    ASSERT_TRUE(writer.Create(path, false));
    std::vector<std::thread> readers;
    std::vector<int> bad(2, 0);
    for (int t = 0; t < 2; ++t)
        readers.emplace_back([&, t] {
            TBinaryDoc reader;
            if (!reader.Create(path, false)) {
                bad[t] = 1000;
                return;
            }
            std::string orig, lem;
            for (int i = 0; i < 200; ++i)
                bad[t] += !reader.GetDocuments(i, orig, lem) || lem != "{w" + std::to_string(i) + "}";
        });
    for (uint32_t i = 0; i < 200; ++i)
        ASSERT_TRUE(writer.AddLDADocumentBinary(&i, 1, static_cast<int32_t>(i)));
    for (auto& r : readers)
        r.join();
    EXPECT_EQ(bad, std::vector<int>(2, 0));
    EXPECT_EQ(writer.GetLDADocumentsBinaryCount(), 200);
}
