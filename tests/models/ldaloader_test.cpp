#include "models/ldaloader.h"

#include "tests/models/ldafixture.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvane;
using namespace corvane::test;

namespace {

bool Exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

void Touch(const std::string& path)
{
    WriteFileBytes(path, "x");
}

const std::vector<std::string> kWordmap = {"sun", "moon", "star", "moon"};

/// Three documents stored out of id order; "moon" is in the word map twice.
void WriteThreeDocs(const std::string& path)
{
    WriteLdaContainer(path,
                      {{2, "c", std::nullopt, {"star", "sun"}},
                       {0, "a", std::nullopt, {"moon", "moon", "sun"}},
                       {1, "b", std::nullopt, {}}},
                      kWordmap);
}

} // namespace

TEST(TLdaLoaderTest, LoadsDocumentsByIdWithWordMapIndicesOnAnyThreadCount)
{
    TTempDir dir;
    const std::string path = dir.File("news.cvlda");
    WriteThreeDocs(path);
    for (int32_t threads : {1, 2, 3, 8, 0}) { // 8: more threads than documents
        SCOPED_TRACE(threads);
        TLdaLoader loader;
        int32_t lastDone = -1;
        loader.OnProgress = [&](int32_t done, int32_t total) {
            EXPECT_EQ(total, 3);
            lastDone = done;
        };
        ASSERT_EQ(loader.Load(path, true, threads), TLdaLoadResult::Loaded);
        EXPECT_EQ(lastDone, 3);
        const auto& input = *loader.Input();
        EXPECT_EQ(input.path, path);
        EXPECT_EQ(input.dataset.M, 3);
        EXPECT_EQ(input.dataset.V, 4);
        ASSERT_EQ(input.wordmap.size(), 4u);
        EXPECT_EQ(WordOf(input.wordmap[2]), "star");
        const auto& docs = input.dataset.docs;
        EXPECT_EQ(docs[0].words, (std::vector<int32_t>{1, 1, 0}));
        EXPECT_TRUE(docs[1].words.empty());
        EXPECT_EQ(docs[2].words, (std::vector<int32_t>{2, 0}));
        EXPECT_EQ(docs[0].wlen, 3);
        EXPECT_EQ(docs[1].wlen, 0);
        EXPECT_TRUE(docs[0].rawstr.empty());
    }
    EXPECT_EQ(TLdaLoader::FileNameText(path), "File name: news.cvlda");
}

TEST(TLdaLoaderTest, SortedTablesAlwaysGoResultTablesOnlyWithReset)
{
    TTempDir dir;
    const std::string path = dir.File("news.cvlda");
    WriteThreeDocs(path);
    const std::string files[] = {dir.File("news_phi.bin"), dir.File("news_theta.bin"),
                                 dir.File("cv_phi_sort_3.bin"), dir.File("cv_theta_sort_4.bin")};
    for (const auto& f : files)
        Touch(f);
    TLdaLoader loader;
    ASSERT_EQ(loader.Load(path, false, 1), TLdaLoadResult::Loaded);
    EXPECT_TRUE(Exists(files[0]));
    EXPECT_TRUE(Exists(files[1]));
    EXPECT_FALSE(Exists(files[2]));
    EXPECT_FALSE(Exists(files[3]));
    ASSERT_EQ(loader.Load(path, true, 1), TLdaLoadResult::Loaded);
    EXPECT_FALSE(Exists(files[0]));
    EXPECT_FALSE(Exists(files[1]));
}

TEST(TLdaLoaderTest, ContainerWithoutLdaDocumentsIsOldFormatAndClearsWhatWasLoaded)
{
    TTempDir dir;
    const std::string good = dir.File("good.cvlda");
    WriteThreeDocs(good);
    const std::string old = dir.File("old.cvlda");
    {
        TBinaryDoc writer;
        ASSERT_TRUE(writer.Create(old, true));
        ASSERT_TRUE(writer.AddDocuments(0, "text", "{text}"));
        ASSERT_TRUE(writer.Close());
    }
    TLdaLoader loader;
    ASSERT_EQ(loader.Load(good, true, 1), TLdaLoadResult::Loaded);
    EXPECT_EQ(loader.Load(old, true, 1), TLdaLoadResult::OldFormat);
    EXPECT_EQ(loader.ErrorText(), "This file has old format; it is not supported.");
    EXPECT_EQ(loader.Input(), nullptr);
}

TEST(TLdaLoaderTest, UnusableContainersFailInsteadOfLoading)
{
    TTempDir dir;
    struct Case
    {
        const char* name;
        std::vector<int32_t> ldaIds;
        std::vector<uint32_t> extraIds;
        int64_t truncateBy;
    };
    const Case cases[] = {
        {"document id equal to the count", {3, 0, 1}, {}, 0},
        {"negative document id", {2, -1, 1}, {}, 0},
        {"document id twice", {2, 0, 0}, {}, 0},
        {"word id without a word-map entry", {}, {0xDEADBEEF}, 0},
        {"word map cut short", {}, {}, 10},
        {"last document cut short", {}, {}, 4 + 4 * 96 + 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("bad.cvlda");
        WriteLdaContainer(path,
                          {{2, "c", std::nullopt, {"star", "sun"}},
                           {0, "a", std::nullopt, {"moon"}},
                           {1, "b", std::nullopt, {"sun"}}},
                          kWordmap, c.ldaIds, c.extraIds);
        if (c.truncateBy > 0)
            std::filesystem::resize_file(path, std::filesystem::file_size(path) - c.truncateBy);
        TLdaLoader loader;
        EXPECT_EQ(loader.Load(path, true, 2), TLdaLoadResult::Failed);
        EXPECT_EQ(loader.ErrorText(), "Error on loading LDA file.");
        EXPECT_EQ(loader.Input(), nullptr);
    }
    TLdaLoader loader;
    EXPECT_EQ(loader.Load(dir.File("missing.cvlda"), true, 1), TLdaLoadResult::Failed);
}
