#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace corvane {

struct TSpawnOptions
{
    /// argv[0] is the program's path; it is started as it is, never through a shell or PATH.
    std::vector<std::string> argv;
    bool pipeStdin = true;
    bool pipeStdout = true;
    /// Added to the child's nice value right after it starts (below-normal priority).
    int niceIncrement = 10;
    /// A descriptor handed to the child as its descriptor 3 (a socket, say); -1 for none.
    /// No other descriptor of ours reaches the child.
    int passFd = -1;
};

/// One child process with optional pipes to its standard input and output. Owns the pipe ends;
/// destruction kills a child still running and reaps it.
class TChildProcess
{
public:
    TChildProcess() = default;
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    /// Starts the child; false with `error` set when it cannot be started (missing program...).
    bool Start(const TSpawnOptions& options, std::string& error);

    int StdinFd() const { return m_In; }
    int StdoutFd() const { return m_Out; }
    void CloseStdin();
    void CloseStdout();
    pid_t Pid() const { return m_Pid; }
    bool Running() const { return m_Pid > 0; }

    /// A descriptor that polls readable once the child has ended (-1 when unavailable).
    int PidFd() const { return m_PidFd; }

    void Kill();
    /// Waits for the end; returns the exit status, or 128 + signal number for a killed child.
    int Wait();
    /// Reaps the child if it has ended; true then, with `status` as for Wait.
    bool TryWait(int& status);

private:
    static int DecodeStatus(int raw);

    pid_t m_Pid = -1;
    int m_PidFd = -1;
    int m_In = -1;
    int m_Out = -1;
};

enum class TExchangeResult { Ok, IdleTimeout, Cancelled, Error };

/// Writes `input` to the child's standard input while reading its standard output until the
/// child closes it, so a child that writes before it reads never deadlocks. Closes standard input
/// after the last byte when `closeStdin` is set. A child that neither takes input nor writes
/// output for `idleTimeout` is killed (IdleTimeout); `cancel` (checked at least every 100 ms) kills it too (Cancelled).
TExchangeResult ExchangeWithChild(TChildProcess& child, std::string_view input, std::string& output,
                                  std::chrono::milliseconds idleTimeout, bool closeStdin = true,
                                  const std::atomic<bool>* cancel = nullptr);

} // namespace corvane
