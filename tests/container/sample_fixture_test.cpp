// The committed sample container is what the demo and the CLI tests show; check it is sound.
#include "container/binarydoc.h"
#include "container/crc32unit.h"
#include "container/metablock.h"
#include "platform/codepage.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(SampleFixtureTest, DocumentsLDASectionAndWordMapAgree)
{
    TBinaryDoc doc;
    ASSERT_TRUE(doc.Create(test::FixturePath("container/sample.cvlda"), false));
    ASSERT_EQ(doc.GetDocumentCount(), 3);
    std::string orig, lem, block;
    ASSERT_TRUE(doc.GetOrigDocument(1, orig, &block));
    EXPECT_EQ(Cp1251ToUtf8(orig), "Рама стояла у окна, мама смотрела.");
    TMetaFields fields;
    ASSERT_TRUE(DecodeMetaBlock(block, fields));
    EXPECT_EQ(Cp1251ToUtf8(fields[0]), "Пётр");
    EXPECT_EQ(Cp1251ToUtf8(fields[2]), "Москва");

    const int32_t words = doc.GetLDAWordmapBinarySize();
    ASSERT_EQ(words, 9);
    TWordAndFreqArray map(9);
    ASSERT_TRUE(doc.GetLDAWordmapBinary(map.data(), words));
    for (size_t i = 0; i < map.size(); ++i) {
        EXPECT_EQ(map[i].wfuID, WordId(WordOf(map[i])));
        if (i > 0) {
            EXPECT_GE(map[i - 1].wfFreq, map[i].wfFreq);
        }
    }
    ASSERT_EQ(doc.GetLDADocumentsBinaryCount(), 3);
    int32_t id, n;
    ASSERT_TRUE(doc.GetLDADocumentBinaryFirst(id, n));
    std::vector<uint32_t> ids(n);
    ASSERT_TRUE(doc.GetLDADocumentBinary(ids.data(), n));
    EXPECT_EQ(id, 0);
    EXPECT_EQ(ids[0], WordId(Utf8ToCp1251("мама")));
}
