#pragma once

#include "platform/mainthread.h"
#include "prep/mystemansithread.h"
#include "prep/parsemetadata.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace corvane {

class TBinaryDoc;
class TStream;

/// Lemmatizers the stage can start from the program's folder.
enum TStemmer : int32_t {
    stemMystem = 0,  // Russian
    stemRootcut = 1, // English
};

/// The default parameter text of the lemmatizer for a code page.
std::string DefaultMystemParameters(TCodePage page);

/// One input file of a run: its path and its size in KB (size div 1024 + 1).
struct TTextFile
{
    std::string path;
    int64_t sizekb = 0;
};

/// The folder's "*.txt" files (extension in any letter case) in case-insensitive name order.
std::vector<TTextFile> ListTextFiles(const std::string& folder);

/// Turns a folder of text files into lemmatized documents: for each file, in name order, it
/// removes mark-up and trash fragments, finds the file's metadata, and starts a lemmatizer child
/// served by its own feeder thread, with at most `m_MaxChildren` children running in the whole
/// process. Finished documents and progress reach the main thread through `IMainThread::Send`.
/// Document ids are list positions; a document whose child cannot start is skipped.
class TDelTagMystemAnsiThread
{
public:
    using TDelTagMystemAnsiProgress =
        std::function<void(TDelTagMystemAnsiThread& sender, int32_t progress, bool done)>;
    using TOnMystemAnsiReady =
        std::function<void(TDelTagMystemAnsiThread& sender, int32_t docid, TStream& origdoc,
                           TStream& lemdoc, const TDocMetaData* pdata)>;

    /// Created suspended: set the events and settings, then Start. `txtin` is the folder.
    TDelTagMystemAnsiThread(IMainThread& mainThread, std::string txtin, std::string mystempar,
                            std::string trash_file_loc, TCodePage page, TStemmer stemid);
    /// Stops a run still going and waits for it. A run waiting in Send must be released first:
    /// shut the main-thread dispatcher down before destroying a running stage on that thread.
    ~TDelTagMystemAnsiThread();
    TDelTagMystemAnsiThread(const TDelTagMystemAnsiThread&) = delete;
    TDelTagMystemAnsiThread& operator=(const TDelTagMystemAnsiThread&) = delete;

    void Start();
    /// Asks the run to stop: no more documents start, running children are killed.
    void Terminate();
    /// Waits until the run has ended.
    void WaitFor();

    TDelTagMystemAnsiProgress OnProgress;
    TOnMystemAnsiReady OnMystemAnsiReady;

    // Settings, to change before Start.
    int m_MaxChildren = 2;
    std::chrono::milliseconds m_ChildIdleLimit{60000};
    std::string m_ProgramDir; // where the lemmatizer programs are; the program's folder by default

    bool Done() const { return m_done.load(); }
    /// The number of files listed (documents attempted), known once the run has listed them.
    int32_t FileCount() const { return m_FileCount.load(); }

private:
    void Execute();
    void LoadTrash();
    void LaunchChild(int32_t docid, const TDocMetaData* pdata);
    void ReapFinishedFeeders();
    void ReportProgress(bool done);
    const TDocMetaData* FindMetaData(const TParseMetadata& metadata, const std::string& path) const;

    IMainThread& m_MainThread;
    std::string m_txtin;
    std::string m_mystempar;
    std::string trash_file;
    TCodePage curent_page;
    TStemmer m_stemid;

    std::vector<std::string> file_trash;
    std::string rawdocms;
    int64_t m_fullsizekb = 0;
    int32_t m_progress = 0;
    int32_t m_ReportedProgress = -1;
    std::chrono::steady_clock::time_point m_ReportedAt;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_Terminated{false};
    std::atomic<int32_t> m_FileCount{0};
    std::vector<std::unique_ptr<TMystemAnsiThread>> m_Feeders;
    std::thread m_Thread;
};

/// Stores a lemmatized document in a container: nothing when the lemmatized text is empty,
/// else both texts with the metadata block when there is metadata.
bool StoreMystemDocument(TBinaryDoc& doc, int32_t docid, TStream& origdoc, TStream& lemdoc,
                         const TDocMetaData* pdata);

} // namespace corvane
