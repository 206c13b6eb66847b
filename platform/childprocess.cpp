#include "platform/childprocess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace corvane {
namespace {

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Blocks SIGPIPE on this thread while it writes to a child that may have closed its input,
// so the write fails with EPIPE instead of killing the process; drains a pending one at the end.
class TSigpipeGuard
{
public:
    TSigpipeGuard()
    {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGPIPE);
        sigpending(&m_Pending);
        m_WasPending = sigismember(&m_Pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &set, &m_Old);
    }
    ~TSigpipeGuard()
    {
        if (!m_WasPending) {
            sigset_t set;
            sigemptyset(&set);
            sigaddset(&set, SIGPIPE);
            const timespec zero{0, 0};
            while (sigtimedwait(&set, nullptr, &zero) > 0) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_Old, nullptr);
    }

private:
    sigset_t m_Old{};
    sigset_t m_Pending{};
    bool m_WasPending = false;
};

} // namespace

TChildProcess::~TChildProcess()
{
    CloseStdin();
    CloseStdout();
    if (m_Pid > 0) {
        Kill();
        Wait();
    }
    CloseFd(m_PidFd);
}

bool TChildProcess::Start(const TSpawnOptions& options, std::string& error)
{
    if (m_Pid > 0 || options.argv.empty()) {
        error = "no program to start";
        return false;
    }
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    int passCopy = -1;
    auto cleanup = [&] {
        for (int* fd : {&in[0], &in[1], &out[0], &out[1], &passCopy})
            CloseFd(*fd);
    };
    if ((options.pipeStdin && ::pipe2(in, O_CLOEXEC) != 0) ||
        (options.pipeStdout && ::pipe2(out, O_CLOEXEC) != 0)) {
        error = std::string("cannot create pipe: ") + std::strerror(errno);
        cleanup();
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (options.pipeStdin)
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    if (options.pipeStdout)
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    int firstClosed = 3;
    if (options.passFd >= 0) {
        // A copy above 3 so that dup2 onto 3 always clears close-on-exec.
        passCopy = ::fcntl(options.passFd, F_DUPFD_CLOEXEC, 10);
        if (passCopy < 0) {
            error = std::string("cannot pass descriptor: ") + std::strerror(errno);
            posix_spawn_file_actions_destroy(&actions);
            cleanup();
            return false;
        }
        posix_spawn_file_actions_adddup2(&actions, passCopy, 3);
        firstClosed = 4;
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, firstClosed);

    std::vector<char*> argv;
    for (const auto& a : options.argv)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        error = options.argv[0] + ": " + std::strerror(rc);
        cleanup();
        return false;
    }
    m_Pid = pid;
    if (options.niceIncrement > 0) {
        errno = 0;
        const int base = ::getpriority(PRIO_PROCESS, 0);
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(pid),
                      std::min(19, (errno == 0 ? base : 0) + options.niceIncrement));
    }
    m_PidFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    CloseFd(in[0]);
    CloseFd(out[1]);
    CloseFd(passCopy);
    m_In = in[1];
    m_Out = out[0];
    return true;
}

void TChildProcess::CloseStdin()
{
    CloseFd(m_In);
}

void TChildProcess::CloseStdout()
{
    CloseFd(m_Out);
}

void TChildProcess::Kill()
{
    if (m_Pid > 0)
        ::kill(m_Pid, SIGKILL);
}

int TChildProcess::DecodeStatus(int raw)
{
    if (WIFEXITED(raw))
        return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw))
        return 128 + WTERMSIG(raw);
    return -1;
}

int TChildProcess::Wait()
{
    if (m_Pid <= 0)
        return -1;
    int raw = 0;
    while (::waitpid(m_Pid, &raw, 0) < 0 && errno == EINTR) {
    }
    m_Pid = -1;
    CloseFd(m_PidFd);
    return DecodeStatus(raw);
}

bool TChildProcess::TryWait(int& status)
{
    if (m_Pid <= 0)
        return false;
    int raw = 0;
    const pid_t r = ::waitpid(m_Pid, &raw, WNOHANG);
    if (r != m_Pid)
        return false;
    m_Pid = -1;
    CloseFd(m_PidFd);
    status = DecodeStatus(raw);
    return true;
}

TExchangeResult ExchangeWithChild(TChildProcess& child, std::string_view input, std::string& output,
                                  std::chrono::milliseconds idleTimeout, bool closeStdin,
                                  const std::atomic<bool>* cancel)
{
    using clock = std::chrono::steady_clock;
    TSigpipeGuard sigpipe;
    const int outFd = child.StdoutFd();
    int inFd = child.StdinFd();
    if (outFd < 0)
        return TExchangeResult::Error;
    if (inFd >= 0)
        ::fcntl(inFd, F_SETFL, ::fcntl(inFd, F_GETFL) | O_NONBLOCK);
    size_t written = 0;
    bool inputDone = input.empty();
    if (inputDone && closeStdin)
        child.CloseStdin();
    char buf[65536];
    auto lastActivity = clock::now();
    while (true) {
        if (cancel && cancel->load()) {
            child.Kill();
            return TExchangeResult::Cancelled;
        }
        pollfd fds[2] = {{outFd, POLLIN, 0}, {inFd, POLLOUT, 0}};
        const nfds_t count = (!inputDone && inFd >= 0) ? 2 : 1;
        const auto idleLeft = idleTimeout - std::chrono::duration_cast<std::chrono::milliseconds>(
                                                clock::now() - lastActivity);
        if (idleLeft.count() <= 0) {
            child.Kill();
            return TExchangeResult::IdleTimeout;
        }
        const int wait = static_cast<int>(std::min<int64_t>(idleLeft.count(), cancel ? 100 : 1000));
        const int n = ::poll(fds, count, wait);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return TExchangeResult::Error;
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t r = ::read(outFd, buf, sizeof buf);
            if (r > 0) {
                output.append(buf, static_cast<size_t>(r));
                lastActivity = clock::now();
            } else if (r == 0) {
                return TExchangeResult::Ok;
            } else if (errno != EINTR && errno != EAGAIN) {
                return TExchangeResult::Error;
            }
        }
        if (count == 2 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t w = ::write(inFd, input.data() + written, input.size() - written);
            if (w > 0) {
                written += static_cast<size_t>(w);
                lastActivity = clock::now();
            }
            const bool broken = w < 0 && errno != EAGAIN && errno != EINTR;
            if (written == input.size() || broken) {
                inputDone = true;
                // The child still owes its output when it stopped reading; keep draining.
                if (closeStdin || broken)
                    child.CloseStdin();
            }
        }
    }
}

} // namespace corvane
