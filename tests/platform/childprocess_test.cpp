#include "platform/childprocess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace corvane;
using namespace std::chrono_literals;

namespace {

TSpawnOptions Shell(const std::string& script)
{
    TSpawnOptions o;
    o.argv = {"/bin/sh", "-c", script};
    return o;
}

} // namespace

TEST(ChildProcessTest, PipesBothWaysWithoutDeadlockAtLowerPriority)
{
    // A child that writes as it reads fills its output pipe long before its input ends.
    TChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start(Shell("cat; nice"), error)) << error;
    const std::string input(8 << 20, 'x');
    std::string output;
    EXPECT_EQ(ExchangeWithChild(child, input, output, 30s), TExchangeResult::Ok);
    EXPECT_EQ(child.Wait(), 0);
    // Ten steps below this process, whatever niceness the tests themselves run at.
    const int expected = std::min(19, ::getpriority(PRIO_PROCESS, 0) + 10);
    EXPECT_EQ(output.substr(input.size()), std::to_string(expected) + "\n");
}

TEST(ChildProcessTest, InputCanStayOpenAfterTheLastByte)
{
    // Like the lemmatizers: the child stops at 0x1A by itself and the pipe is not closed.
    TChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start(Shell("head -c 5"), error)) << error;
    std::string output;
    EXPECT_EQ(ExchangeWithChild(child, "abcd\x1A", output, 10s, false), TExchangeResult::Ok);
    EXPECT_EQ(output, "abcd\x1A");
    EXPECT_EQ(child.Wait(), 0);
}

TEST(ChildProcessTest, SilentChildIsKilledAfterTheIdleTimeout)
{
    TChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start(Shell("exec sleep 30"), error)) << error;
    std::string output;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ExchangeWithChild(child, "", output, 300ms), TExchangeResult::IdleTimeout);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(child.Wait(), 128 + 9);
}

TEST(ChildProcessTest, ChildThatClosesItsInputEarlyDoesNotKillUs)
{
    TChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start(Shell("exec 0<&-; echo done"), error)) << error;
    std::string output;
    EXPECT_EQ(ExchangeWithChild(child, std::string(1 << 20, 'y'), output, 10s), TExchangeResult::Ok);
    EXPECT_EQ(output, "done\n");
    EXPECT_EQ(child.Wait(), 0);
}

TEST(ChildProcessTest, ExitStatusAndMissingProgram)
{
    TChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start(Shell("exit 3"), error));
    EXPECT_EQ(child.Wait(), 3);

    TChildProcess missing;
    TSpawnOptions o;
    o.argv = {"/nonexistent/mystem", "-c"};
    EXPECT_FALSE(missing.Start(o, error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

TEST(ChildProcessTest, OnlyThePipesAndThePassedDescriptorAreInherited)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    int stray = dup(pair[0]); // an inheritable descriptor that must not reach the child
    ASSERT_GE(stray, 0);

    TChildProcess child;
    TSpawnOptions o = Shell("ls /proc/self/fd | sort -n | tr '\\n' ' '; echo hi >&3");
    o.passFd = pair[1];
    std::string error;
    ASSERT_TRUE(child.Start(o, error)) << error;
    std::string output;
    EXPECT_EQ(ExchangeWithChild(child, "", output, 10s), TExchangeResult::Ok);
    EXPECT_EQ(child.Wait(), 0);
    // 0-2, 3 (the socket) and the descriptor ls opens for the listing itself.
    EXPECT_EQ(output, "0 1 2 3 4 ");
    char buf[8] = {};
    EXPECT_EQ(read(pair[0], buf, 3), 3);
    EXPECT_STREQ(buf, "hi\n");
    close(stray);
    close(pair[0]);
    close(pair[1]);
}
