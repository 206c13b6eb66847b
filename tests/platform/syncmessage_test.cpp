#include "platform/syncmessage.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace corvane;

TEST(SyncMessageTest, SenderWaitsForTheReply)
{
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
    std::vector<TSyncMessage> got;
    std::thread receiver([&] {
        TSyncMessage m;
        while (ReadSyncMessage(fds[1], m)) {
            got.push_back(m);
            ReplySyncMessage(fds[1]);
        }
    });
    EXPECT_TRUE(SendSyncMessage(fds[0], {1624, 1, 42}));
    // Once the send returned, the receiver has the message: the reply proves it.
    EXPECT_TRUE(SendSyncMessage(fds[0], {-5, INT64_MIN, INT64_MAX}));
    ::close(fds[0]);
    receiver.join();
    ::close(fds[1]);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].msg, 1624);
    EXPECT_EQ(got[0].wParam, 1);
    EXPECT_EQ(got[0].lParam, 42);
    EXPECT_EQ(got[1].msg, -5);
    EXPECT_EQ(got[1].wParam, INT64_MIN);
    EXPECT_EQ(got[1].lParam, INT64_MAX);
}

TEST(SyncMessageTest, MissingReceiverFailsWithoutSignal)
{
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
    ::close(fds[1]);
    EXPECT_FALSE(SendSyncMessage(fds[0], {1624, 1, 1})); // would raise SIGPIPE with write()
    ::close(fds[0]);

    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);
    EXPECT_FALSE(SendSyncMessage(pipeFds[1], {1624, 1, 1})); // not a socket
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    EXPECT_FALSE(SendSyncMessage(-1, {1624, 1, 1}));
}
