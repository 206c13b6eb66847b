#pragma once

#include "models/cudarunsort.h"
#include "platform/mainthread.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace corvane {

/// The model result tables of one container and their sorted forms.
struct TResultTableNames
{
    std::string phi;       // the container's path with "_phi.bin" for its extension
    std::string theta;     // the same with "_theta.bin"
    std::string phiSort;   // "cv_phi_sort_3.bin" in the container's folder
    std::string thetaSort; // "cv_theta_sort_4.bin" in the container's folder
};

TResultTableNames ResultTableNames(const std::string& containerPath);

enum class TSortJob {
    Words, // the words of every topic, from the topic-word table
    Docs   // the documents of every topic, from the document-topic table
};

/// The sort jobs of the loaded container, run one at a time with the sorting program. The main
/// window and the command line both start their sorts here.
///
/// Events arrive on the main thread. Destroying the object stops a running job; do it on the main
/// thread only once the dispatcher no longer blocks senders (or the job has ended).
class TSortJobs
{
public:
    using TProgressEvent = std::function<void(TSortJob job, int32_t progress)>;
    /// `ok` is true when the sorted table was written; `error` says why not.
    using TFinishedEvent = std::function<void(TSortJob job, bool ok, const std::string& error)>;

    explicit TSortJobs(IMainThread& mainThread);
    ~TSortJobs();
    TSortJobs(const TSortJobs&) = delete;
    TSortJobs& operator=(const TSortJobs&) = delete;

    /// Takes the names of a newly loaded container; the sorted tables count as not made yet.
    void SetContainer(const std::string& containerPath);
    const TResultTableNames& Names() const { return m_Names; }
    /// The sorted table a job writes.
    const std::string& OutputOf(TSortJob job) const;

    /// Starts a job; false, starting nothing, while another one runs.
    bool Start(TSortJob job);
    void Stop();
    bool Running() const { return m_CudaRunSort != nullptr; }

    bool PhiSortValid() const { return m_PhiSortValid; }
    bool ThetaSortValid() const { return m_ThetaSortValid; }

    /// The sorting program to start (tests); the one in the program's folder by default.
    void SetProgramPath(const std::string& path) { m_ProgramPath = path; }

    /// Every progress message of the sorting program: percentages, then 1 as it finishes.
    TProgressEvent OnProgress;
    TFinishedEvent OnFinished;

private:
    void SortFinished(TCudaRunSort& sender);

    IMainThread& m_MainThread;
    TResultTableNames m_Names;
    std::string m_ProgramPath;
    std::unique_ptr<TCudaRunSort> m_CudaRunSort;
    bool m_PhiSortValid = false;
    bool m_ThetaSortValid = false;
};

} // namespace corvane
