#include "models/sortjobs.h"

#include "tools/rankfold/rankfoldprotocol.h"

namespace corvane {

TResultTableNames ResultTableNames(const std::string& containerPath)
{
    const size_t slash = containerPath.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string folder = containerPath.substr(0, nameStart);
    const size_t dot = containerPath.find_last_of('.');
    const std::string stem =
        dot == std::string::npos || dot < nameStart ? containerPath : containerPath.substr(0, dot);
    return {stem + "_phi.bin", stem + "_theta.bin", folder + "cv_phi_sort_3.bin",
            folder + "cv_theta_sort_4.bin"};
}

TSortJobs::TSortJobs(IMainThread& mainThread) : m_MainThread(mainThread) {}

TSortJobs::~TSortJobs() = default;

void TSortJobs::SetContainer(const std::string& containerPath)
{
    m_Names = ResultTableNames(containerPath);
    m_PhiSortValid = false;
    m_ThetaSortValid = false;
}

const std::string& TSortJobs::OutputOf(TSortJob job) const
{
    return job == TSortJob::Words ? m_Names.phiSort : m_Names.thetaSort;
}

bool TSortJobs::Start(TSortJob job)
{
    if (m_CudaRunSort)
        return false;
    const bool words = job == TSortJob::Words;
    m_CudaRunSort = std::make_unique<TCudaRunSort>(m_MainThread);
    if (!m_ProgramPath.empty())
        m_CudaRunSort->SetProgramPath(m_ProgramPath);
    m_CudaRunSort->OnProgress = [this, job](TCudaRunSort&, int32_t progress) {
        if (OnProgress)
            OnProgress(job, progress);
    };
    m_CudaRunSort->OnTerminate = [this](TCudaRunSort& sender) { SortFinished(sender); };
    // All processors, word column 0.
    m_CudaRunSort->SetParameters(0, words ? kTaskWordsByTopic : kTaskDocsByTopic,
                                 words ? m_Names.phi : m_Names.theta, OutputOf(job), 0);
    m_CudaRunSort->Resume();
    return true;
}

void TSortJobs::Stop()
{
    if (m_CudaRunSort)
        m_CudaRunSort->Stop();
}

void TSortJobs::SortFinished(TCudaRunSort& sender)
{
    const TSortJob job = sender.CudaTask() == kTaskWordsByTopic ? TSortJob::Words : TSortJob::Docs;
    const bool ok = sender.Succeeded();
    const std::string error = ok                 ? std::string()
                              : sender.Stopped() ? std::string("the sort was stopped")
                                                 : sender.ErrorText();
    m_CudaRunSort.reset(); // frees `sender`
    if (ok)
        (job == TSortJob::Words ? m_PhiSortValid : m_ThetaSortValid) = true;
    if (OnFinished)
        OnFinished(job, ok, error);
}

} // namespace corvane
