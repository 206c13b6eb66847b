#include "models/cudarunsort.h"

#include "platform/appdirs.h"
#include "platform/childprocess.h"
#include "platform/syncmessage.h"
#include "tools/rankfold/rankfoldprotocol.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace corvane {
namespace {

// Only the end of the child's console is kept: its last line says why it failed.
constexpr size_t kConsoleTail = 4096;

std::string LastLine(const std::string& text)
{
    const size_t end = text.find_last_not_of("\r\n");
    if (end == std::string::npos)
        return {};
    const size_t start = text.find_last_of("\r\n", end);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end - (start == std::string::npos ? 0 : start + 1) + 1);
}

} // namespace

TCudaRunSort::TCudaRunSort(IMainThread& mainThread)
    : m_MainThread(mainThread), m_ProgramPath(JoinPath(ProgramDir(), kRankfoldProgram)),
      m_hStopEvent(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

TCudaRunSort::~TCudaRunSort()
{
    m_Alive.reset();
    if (m_Thread.joinable()) {
        // The termination handler may free the object on the job's own thread (an inline
        // dispatcher runs it there); that thread touches nothing of ours afterwards.
        if (m_Thread.get_id() == std::this_thread::get_id()) {
            m_Thread.detach();
        } else {
            Stop();
            m_Thread.join();
        }
    }
    if (m_hStopEvent >= 0)
        ::close(m_hStopEvent);
}

void TCudaRunSort::SetParameters(int32_t CudaDevID, int32_t CudaTask, const std::string& FileIn,
                                 const std::string& FileOut, int32_t WordCol)
{
    m_CudaDevID = CudaDevID;
    m_CudaTask = CudaTask;
    m_FileIn = FileIn;
    m_FileOut = FileOut;
    m_WordCol = WordCol;
}

void TCudaRunSort::Resume()
{
    if (!m_Thread.joinable())
        m_Thread = std::thread(&TCudaRunSort::Execute, this);
}

void TCudaRunSort::Stop()
{
    const uint64_t one = 1;
    if (m_hStopEvent >= 0 && ::write(m_hStopEvent, &one, sizeof one) < 0) {
        // Only a counter already near its limit refuses, and that already means "stop".
    }
}

void TCudaRunSort::Execute()
{
    int fds[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) == 0) {
        RunChild(fds[0], fds[1]);
        ::close(fds[0]);
    } else {
        m_ErrorText = std::string("cannot create a socket pair: ") + std::strerror(errno);
    }
    // Last touch of the object from this thread: the handler may destroy it.
    m_MainThread.Post([this, alive = std::weak_ptr<bool>(m_Alive)] {
        if (alive.expired())
            return;
        const TNotifyEvent handler = OnTerminate;
        if (handler)
            handler(*this);
    });
}

void TCudaRunSort::RunChild(int socketFd, int childEnd)
{
    TSpawnOptions options;
    options.argv = {m_ProgramPath,
                    std::to_string(m_CudaDevID),
                    std::to_string(m_CudaTask),
                    m_FileIn,
                    std::to_string(m_WordCol),
                    m_FileOut,
                    "3"}; // the child's end of the socket pair arrives as its descriptor 3
    options.pipeStdin = false;
    options.passFd = childEnd;
    TChildProcess child;
    m_Started = child.Start(options, m_ErrorText);
    // Our copy of the child's end must go, so the socket reads end of stream once the child ends.
    ::close(childEnd);
    if (!m_Started)
        return;

    bool socketOpen = true;
    bool consoleOpen = true;
    while (socketOpen || consoleOpen) {
        pollfd fds[3] = {{m_hStopEvent, POLLIN, 0},
                         {socketOpen ? socketFd : -1, POLLIN, 0},
                         {consoleOpen ? child.StdoutFd() : -1, POLLIN, 0}};
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & POLLIN) {
            child.Kill();
            m_Stopped = true;
            break;
        }
        if (fds[1].revents) {
            TSyncMessage message;
            if (!ReadSyncMessage(socketFd, message)) {
                socketOpen = false;
            } else {
                if (message.msg == kMsgSortProgress) {
                    const auto progress = static_cast<int32_t>(message.lParam);
                    m_MainThread.Send([&] {
                        if (OnProgress)
                            OnProgress(*this, progress);
                    });
                }
                ReplySyncMessage(socketFd);
            }
        }
        if (fds[2].revents) {
            char buf[4096];
            const ssize_t n = ::read(child.StdoutFd(), buf, sizeof buf);
            if (n > 0)
                KeepConsoleTail(buf, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR)
                consoleOpen = false;
        }
    }
    m_ExitStatus = child.Wait();
    if (!m_Stopped && m_ExitStatus != 0) {
        m_ErrorText = LastLine(m_ConsoleTail);
        if (m_ErrorText.empty())
            m_ErrorText = "exit status " + std::to_string(m_ExitStatus);
    }
}

void TCudaRunSort::KeepConsoleTail(const char* data, size_t size)
{
    m_ConsoleTail.append(data, size);
    if (m_ConsoleTail.size() > kConsoleTail)
        m_ConsoleTail.erase(0, m_ConsoleTail.size() - kConsoleTail);
}

} // namespace corvane
