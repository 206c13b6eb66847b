#include "models/gibbsldacore.h"

#include "platform/appdirs.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

int32_t CallWithTinyCorpus(const TGibbsLdaCore& core)
{
    const int32_t words[] = {0, 1, 1, 0};
    const int32_t* docs[] = {words};
    const int32_t lengths[] = {4};
    return core.Calc(nullptr, nullptr, 1, 0.1, 0.01, 2, 2, 0, 100, 1, 2, lengths, docs, 0,
                     nullptr, 0, 0);
}

TEST(TGibbsLdaCoreTest, StartsUnboundAndReturnsTheStatusInsteadOfCalling)
{
    TGibbsLdaCore core;
    EXPECT_EQ(core.LoadStatus(), kGibbsLdaUnknownError);
    EXPECT_EQ(CallWithTinyCorpus(core), kGibbsLdaUnknownError);
}

TEST(TGibbsLdaCoreTest, LoadStatusForEachKindOfLibrary)
{
    test::TTempDir dir;
    test::WriteFileBytes(dir.File(kGibbsLdaLibraryName), "MZ this is not a shared library\n");
    const std::string fakes = FAKE_ENGINES_DIR;
    struct Case
    {
        const char* name;
        std::string folder;
        int32_t status;
    } cases[] = {
        {"missing file", dir.File("nowhere"), kGibbsLdaNotFound},
        {"not a library", dir.Path(), kGibbsLdaNotLoadable},
        {"another version", fakes + "/fake_wrong_version", kGibbsLdaWrongVersion},
        {"no version function", fakes + "/fake_no_version", kGibbsLdaWrongVersion},
        {"no entry", fakes + "/fake_no_entry", kGibbsLdaUnknownError},
        {"stand-in with entry", fakes + "/fake_good", kGibbsLdaBound},
        {"the real engine", ProgramDir(), kGibbsLdaBound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGibbsLdaCore core;
        EXPECT_EQ(core.Load(c.folder), c.status);
        EXPECT_EQ(core.LoadStatus(), c.status);
        if (c.status != kGibbsLdaBound) {
            EXPECT_EQ(CallWithTinyCorpus(core), c.status);
        }
    }
}

TEST(TGibbsLdaCoreTest, BoundLibraryIsCalled)
{
    TGibbsLdaCore fake;
    ASSERT_EQ(fake.Load(std::string(FAKE_ENGINES_DIR) + "/fake_good"), kGibbsLdaBound);
    EXPECT_EQ(CallWithTinyCorpus(fake), 42);

    TGibbsLdaCore real;
    ASSERT_EQ(real.Load(ProgramDir()), kGibbsLdaBound);
    EXPECT_EQ(CallWithTinyCorpus(real), 0);
}

TEST(TGibbsLdaCoreTest, ReloadReplacesTheBinding)
{
    TGibbsLdaCore core;
    ASSERT_EQ(core.Load(std::string(FAKE_ENGINES_DIR) + "/fake_good"), kGibbsLdaBound);
    EXPECT_EQ(core.Load(std::string(FAKE_ENGINES_DIR) + "/fake_no_entry"), kGibbsLdaUnknownError);
    EXPECT_EQ(CallWithTinyCorpus(core), kGibbsLdaUnknownError);
}

TEST(TGibbsLdaCoreTest, ProgramBindingLoadsFromTheProgramFolder)
{
    EXPECT_EQ(GibbsLdaCore().LoadStatus(), kGibbsLdaBound);
}

} // namespace
} // namespace corvane
