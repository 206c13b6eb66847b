#include "container/crc32unit.h"
#include "container/logunit.h"
#include "container/metablock.h"
#include "container/streams.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace corvane;

TEST(DummyMemoryStreamTest, WritesInPlaceAndNeverGrows)
{
    char mem[10] = "012345678";
    TDummyMemoryStream s;
    s.SetPointer(mem, 10);
    EXPECT_EQ(s.Position(), 0);
    s.SetPosition(8);
    EXPECT_EQ(s.Write("abcde", 5), 2);
    EXPECT_EQ(s.Position(), 10);
    EXPECT_EQ(std::string(mem, 10), std::string("01234567ab", 10));
    EXPECT_EQ(s.Write("x", 1), 0);
    EXPECT_EQ(s.Size(), 10);

    s.SetPosition(0);
    EXPECT_EQ(s.Write("zz", -1), 0);
    s.SetPosition(-3);
    EXPECT_EQ(s.Write("zz", 2), 0);
    s.SetPosition(12); // past the end: nothing copied, position unchanged
    EXPECT_EQ(s.Write("zz", 2), 0);
    EXPECT_EQ(s.Position(), 12);
    EXPECT_EQ(std::string(mem, 10), std::string("01234567ab", 10));

    s.SetPosition(2);
    char back[4] = {};
    EXPECT_EQ(s.Read(back, 3), 3);
    EXPECT_STREQ(back, "234");
}

TEST(MemoryStreamTest, GrowsOnWriteAndReadsBack)
{
    TMemoryStream s;
    EXPECT_EQ(s.Write("hello", 5), 5);
    s.SetPosition(10);
    EXPECT_EQ(s.Write("!", 1), 1);
    EXPECT_EQ(s.Size(), 11);
    EXPECT_EQ(s.Data(), std::string("hello\0\0\0\0\0!", 11));
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
}

TEST(Crc32Test, StandardChecksumSameInEveryThread)
{
    EXPECT_EQ(GetCrc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(GetCrc32(0, "", 0), 0u);
    EXPECT_EQ(GetCrc32(7, nullptr, 5), 7u);
    const uint32_t expected = WordId("\xEC\xE0\xEC\xE0"); // "мама" in Windows-1251
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20000; ++i)
                mismatches[t] += WordId("\xEC\xE0\xEC\xE0") != expected;
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

TEST(LogTest, EachStartEmptiesTheLog)
{
    test::TTempDir dir;
    std::string error;
    ASSERT_TRUE(StartLog(error, dir.Path())) << error;
    WriteLog("TDelTagMystemAnsiThread::Execute first");
    WriteLog("second");
    StopLog();
    EXPECT_EQ(test::ReadFileBytes(dir.File("log.txt")), "TDelTagMystemAnsiThread::Execute first\nsecond\n");

    ASSERT_TRUE(StartLog(error, dir.Path()));
    WriteLog("again");
    StopLog();
    WriteLog("after stop goes nowhere");
    EXPECT_EQ(test::ReadFileBytes(dir.File("log.txt")), "again\n");

    EXPECT_FALSE(StartLog(error, dir.File("missing/folder")));
    EXPECT_FALSE(error.empty());
}

TEST(MetaBlockTest, RoundTripAndCorruptedLengths)
{
    TMetaFields fields;
    fields[0] = "author";
    fields[3] = "Moscow";
    const std::string block = EncodeMetaBlock(fields);
    ASSERT_EQ(block.size(), 84u + 6 + 6);
    EXPECT_EQ(block.substr(84), "authorMoscow");
    TMetaFields back;
    ASSERT_TRUE(DecodeMetaBlock(block, back));
    EXPECT_EQ(back, fields);

    EXPECT_EQ(EncodeMetaBlock(TMetaFields{}), std::string(84, '\0'));

    std::string bad = block;
    bad[12] = 100; // field 3 claims more bytes than the block holds
    EXPECT_FALSE(DecodeMetaBlock(bad, back));
    EXPECT_TRUE(back[0].empty());
    bad = block;
    bad[3] = '\x80'; // negative length
    EXPECT_FALSE(DecodeMetaBlock(bad, back));
    EXPECT_FALSE(DecodeMetaBlock(block.substr(0, 40), back));
}
