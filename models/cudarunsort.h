#pragma once

#include "platform/mainthread.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace corvane {

/// Runs the sorting program for one sort job on its own thread: starts the child with one end
/// of a socket pair for its progress messages, hands each message to OnProgress on the main
/// thread and answers it, waits for the child or for Stop, and reports the end on the main
/// thread. Destroying the object stops a job that still runs.
class TCudaRunSort
{
public:
    using TOnCudaCalcProgress = std::function<void(TCudaRunSort& Sender, int32_t Progress)>;
    using TNotifyEvent = std::function<void(TCudaRunSort& Sender)>;

    explicit TCudaRunSort(IMainThread& mainThread);
    ~TCudaRunSort();
    TCudaRunSort(const TCudaRunSort&) = delete;
    TCudaRunSort& operator=(const TCudaRunSort&) = delete;

    void SetParameters(int32_t CudaDevID, int32_t CudaTask, const std::string& FileIn,
                       const std::string& FileOut, int32_t WordCol);
    /// The program to start; the sorting program in the program's folder unless set.
    void SetProgramPath(const std::string& path) { m_ProgramPath = path; }
    /// Starts the job's thread; once only.
    void Resume();
    /// Ends the job: the child is killed.
    void Stop();

    int32_t CudaTask() const { return m_CudaTask; }

    /// Called on the main thread for every progress message, the child waiting meanwhile.
    TOnCudaCalcProgress OnProgress;
    /// Called once on the main thread when the child has ended or could not be started. The
    /// handler may destroy the object.
    TNotifyEvent OnTerminate;

    // What became of the job; read them in OnTerminate.
    bool Started() const { return m_Started; }
    bool Stopped() const { return m_Stopped; }
    /// The child's exit status (its exit code's low byte, 128 + signal when killed).
    int ExitStatus() const { return m_ExitStatus; }
    /// Why the child could not be started, or its last console line when it failed.
    const std::string& ErrorText() const { return m_ErrorText; }
    /// True when the child ran to its end and exited with 0.
    bool Succeeded() const { return m_Started && !m_Stopped && m_ExitStatus == 0; }

private:
    void Execute();
    void RunChild(int socketFd, int childEnd);
    void KeepConsoleTail(const char* data, size_t size);

    IMainThread& m_MainThread;
    int32_t m_CudaDevID = 0;
    int32_t m_CudaTask = 0;
    std::string m_FileIn;
    std::string m_FileOut;
    int32_t m_WordCol = 0;
    std::string m_ProgramPath;
    /// Readable once Stop was called (an eventfd, so the wait covers it with the child's pipes).
    int m_hStopEvent = -1;
    std::thread m_Thread;
    /// Expires with the object, so a termination notice queued for a destroyed one is dropped.
    std::shared_ptr<bool> m_Alive = std::make_shared<bool>(true);

    bool m_Started = false;
    bool m_Stopped = false;
    int m_ExitStatus = -1;
    std::string m_ErrorText;
    std::string m_ConsoleTail;
};

} // namespace corvane
