#include "models/ldaloader.h"

#include "models/sortjobs.h"
#include "models/wordidindex.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

namespace corvane {
namespace {

// The threads spin box offers at most the processor count; a typed value is bounded here.
constexpr int32_t kMaxLoaderThreads = 64;

void RemoveIfExists(const std::string& path)
{
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

/// Reads every binary LDA document into its slot; the ids must number the slots, each once.
bool ReadDocuments(TBinaryDoc& container, int32_t count, std::vector<TldaDocument>& docs)
{
    docs.resize(static_cast<size_t>(count));
    std::vector<bool> seen(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        int32_t docid = 0;
        int32_t size = 0;
        const bool ok = i == 0 ? container.GetLDADocumentBinaryFirst(docid, size)
                               : container.GetLDADocumentBinaryNext(docid, size);
        if (!ok || docid < 0 || docid >= count || seen[static_cast<size_t>(docid)])
            return false;
        seen[static_cast<size_t>(docid)] = true;
        TldaDocument& doc = docs[static_cast<size_t>(docid)];
        doc.words.resize(static_cast<size_t>(size));
        doc.wlen = size;
        // Word ids are unsigned on disk; they become indices in place.
        if (!container.GetLDADocumentBinary(reinterpret_cast<uint32_t*>(doc.words.data()), size))
            return false;
    }
    return true;
}

} // namespace

std::string TLdaLoader::FileNameText(const std::string& path)
{
    return "File name: " + std::filesystem::path(path).filename().string();
}

TLdaLoadResult TLdaLoader::Fail(TLdaLoadResult result)
{
    m_ErrorText = result == TLdaLoadResult::OldFormat ? kMsgOldFormat : kMsgLoadError;
    return result;
}

TLdaLoadResult TLdaLoader::Load(const std::string& path, bool resetTables, int32_t threads)
{
    m_Input.reset();
    m_ErrorText.clear();
    auto input = std::make_shared<TLdaInput>();
    input->path = path;

    TBinaryDoc container;
    if (!container.Create(path, false))
        return Fail(TLdaLoadResult::Failed);
    const int32_t count = container.GetLDADocumentsBinaryCount();
    if (count <= 0)
        return Fail(TLdaLoadResult::OldFormat);
    if (!ReadDocuments(container, count, input->dataset.docs))
        return Fail(TLdaLoadResult::Failed);
    const int32_t words = container.GetLDAWordmapBinarySize();
    input->wordmap.resize(static_cast<size_t>(words));
    if (words > 0 && !container.GetLDAWordmapBinary(input->wordmap.data(), words))
        return Fail(TLdaLoadResult::Failed);
    container.Close();
    input->dataset.M = count;
    input->dataset.V = words;
    if (!ReplaceWordIds(*input, threads))
        return Fail(TLdaLoadResult::Failed);

    const TResultTableNames names = ResultTableNames(path);
    if (resetTables) {
        RemoveIfExists(names.phi);
        RemoveIfExists(names.theta);
    }
    RemoveIfExists(names.phiSort);
    RemoveIfExists(names.thetaSort);
    m_Input = std::move(input);
    return TLdaLoadResult::Loaded;
}

bool TLdaLoader::ReplaceWordIds(TLdaInput& input, int32_t threads)
{
    const TWordIdIndex index(input.wordmap);
    std::vector<TldaDocument>& docs = input.dataset.docs;
    const auto count = static_cast<int32_t>(docs.size());
    const int32_t T = std::clamp(threads, 1, kMaxLoaderThreads);
    const int32_t chunk = count / T;
    const int32_t rest = count % T;

    std::vector<std::atomic<int32_t>> done(static_cast<size_t>(T));
    std::atomic<bool> failed{false};
    std::mutex mutex;
    std::condition_variable finishedCond;
    int32_t finished = 0;

    auto work = [&](int32_t worker) {
        const int32_t first = chunk * worker;
        const int32_t last = first + chunk + (worker == T - 1 ? rest : 0);
        for (int32_t d = first; d < last && !failed.load(std::memory_order_relaxed); ++d) {
            for (int32_t& w : docs[static_cast<size_t>(d)].words) {
                const int32_t at = index.Find(static_cast<uint32_t>(w));
                if (at < 0) {
                    failed = true;
                    break;
                }
                w = at;
            }
            done[static_cast<size_t>(worker)].fetch_add(1, std::memory_order_relaxed);
        }
        std::lock_guard lock(mutex);
        ++finished;
        finishedCond.notify_one();
    };

    std::vector<std::thread> workers;
    workers.reserve(static_cast<size_t>(T));
    for (int32_t i = 0; i < T; ++i)
        workers.emplace_back(work, i);
    bool allFinished = false;
    while (!allFinished) {
        {
            std::unique_lock lock(mutex);
            allFinished =
                finishedCond.wait_for(lock, m_PollInterval, [&] { return finished == T; });
        }
        int32_t sum = 0;
        for (const auto& d : done)
            sum += d.load(std::memory_order_relaxed);
        if (OnProgress)
            OnProgress(sum, count);
    }
    for (auto& t : workers)
        t.join();
    return !failed;
}

} // namespace corvane
