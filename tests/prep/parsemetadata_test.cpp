#include "prep/parsemetadata.h"

#include "container/metablock.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(TParseMetadataTest, SplitsFieldsAndLeavesTheLastOneOut)
{
    const struct
    {
        const char* line;
        bool hasId;
        int32_t id;
        const char* idstr;
        const char* auth;
        std::vector<std::string> addfields; // the leading ones, the rest empty
    } cases[] = {
        {"7;Ann;x;y", true, 7, "", "Ann", {"x"}},
        {"7;Ann;x;y;", true, 7, "", "Ann", {"x", "y"}},
        {"abc.txt,Bob", false, 0, "abc.txt", "Bob", {}},
        {"12", true, 12, "", "", {}},
        {"5,a;b,c;d;e", true, 5, "", "a;b", {"c", "d"}}, // commas first, then semicolons
        {"-3; Ann ;  city \t; region ;", true, -3, "", " Ann ", {"city", "region"}},
        {"id,author,city", false, 0, "id", "author", {}}, // a header is a record
        {"1;a;;b;", true, 1, "", "a", {"", "b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TDocMetaData r;
        ASSERT_TRUE(TParseMetadata::ParseLine(c.line, r));
        EXPECT_EQ(r.hasId, c.hasId);
        EXPECT_EQ(r.id, c.id);
        EXPECT_EQ(r.idstr, c.idstr);
        EXPECT_EQ(r.auth, c.auth);
        for (int i = 0; i < kAddFieldCount; ++i)
            EXPECT_EQ(r.addfields[i],
                      i < static_cast<int>(c.addfields.size()) ? c.addfields[i] : "")
                << i;
    }
    TDocMetaData r;
    EXPECT_FALSE(TParseMetadata::ParseLine(";Ann;x", r));
}

TEST(TParseMetadataTest, KeepsAtMostTwentyAdditionalFields)
{
    std::string line = "1;author";
    for (int i = 1; i <= 25; ++i)
        line += ";f" + std::to_string(i);
    TDocMetaData r;
    ASSERT_TRUE(TParseMetadata::ParseLine(line, r));
    EXPECT_EQ(r.addfields.front(), "f1");
    EXPECT_EQ(r.addfields.back(), "f20");
}

TEST(TParseMetadataTest, ReadsLinesAndLooksRecordsUp)
{
    test::TTempDir dir;
    test::WriteFileBytes(dir.File("metadata.csv"),
                         "12;Ann;x;\r\n\r\nx.txt,Bob\rX.TXT,Eve\n12;Late;\n7;Sam");
    const TParseMetadata md(dir.File("metadata.csv"));
    ASSERT_EQ(md.Count(), 5);
    ASSERT_NE(md.GetDocMetaDataById(12), nullptr);
    EXPECT_EQ(md.GetDocMetaDataById(12)->auth, "Ann"); // the first of two
    EXPECT_EQ(md.GetDocMetaDataById(7)->auth, "Sam");
    EXPECT_EQ(md.GetDocMetaDataById(8), nullptr);
    ASSERT_NE(md.GetDocMetaDataByStrId("x.txt"), nullptr);
    EXPECT_EQ(md.GetDocMetaDataByStrId("x.txt")->auth, "Bob");
    EXPECT_EQ(md.GetDocMetaDataByStrId("X.TXT")->auth, "Eve"); // case-sensitive
    EXPECT_EQ(md.GetDocMetaDataByStrId("12"), nullptr);
    EXPECT_EQ(md.GetDocMetaData(1).idstr, "x.txt");
    EXPECT_EQ(md.GetDocMetaData(5).auth, "");
    EXPECT_EQ(md.GetDocMetaData(-1).auth, "");

    EXPECT_EQ(TParseMetadata(dir.File("absent.csv")).Count(), 0);
}

TEST(TParseMetadataTest, MetaBlockHoldsAuthorAndFields)
{
    TDocMetaData r;
    ASSERT_TRUE(TParseMetadata::ParseLine("3;Ann;Moscow;;Centre;", r));
    TMetaFields fields;
    ASSERT_TRUE(DecodeMetaBlock(MetaBlockOf(r), fields));
    EXPECT_EQ(fields[0], "Ann");
    EXPECT_EQ(fields[1], "Moscow");
    EXPECT_EQ(fields[2], "");
    EXPECT_EQ(fields[3], "Centre");
    EXPECT_EQ(MetaBlockOf(r).size(), 21 * 4 + 3 + 6 + 6);
}

} // namespace
} // namespace corvane
