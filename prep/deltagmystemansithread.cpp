#include "prep/deltagmystemansithread.h"

#include "container/binarydoc.h"
#include "container/logunit.h"
#include "platform/appdirs.h"
#include "platform/codepage.h"
#include "platform/userlocale.h"
#include "prep/childslots.h"
#include "prep/tagremoval.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace corvane {
namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(100);

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

// The parameter text split at blanks: the children get their arguments without a shell.
std::vector<std::string> SplitParameters(const std::string& text)
{
    std::vector<std::string> args;
    std::istringstream words(text);
    for (std::string w; words >> w;)
        args.push_back(w);
    return args;
}

} // namespace

std::string DefaultMystemParameters(TCodePage page)
{
    return page == cpUtf8 ? "-c -wl -e  utf-8" : "-c -wl";
}

std::vector<TTextFile> ListTextFiles(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::pair<std::string, TTextFile>> named; // lower-case name, file
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() < 4 || LowerCp1251(name.substr(name.size() - 4)) != ".txt")
            continue;
        std::error_code sizeError;
        if (!it->is_regular_file(sizeError))
            continue;
        const auto size = it->file_size(sizeError);
        named.push_back(
            {LowerCp1251(name),
             {it->path().string(), sizeError ? 1 : static_cast<int64_t>(size / 1024 + 1)}});
    }
    std::sort(named.begin(), named.end(), [](auto& a, auto& b) { return a.first < b.first; });
    std::vector<TTextFile> files;
    for (auto& [name, file] : named)
        files.push_back(std::move(file));
    return files;
}

bool StoreMystemDocument(TBinaryDoc& doc, int32_t docid, TStream& origdoc, TStream& lemdoc,
                         const TDocMetaData* pdata)
{
    if (lemdoc.Size() == 0)
        return false;
    if (!pdata)
        return doc.AddDocuments(docid, origdoc, lemdoc);
    const std::string block = MetaBlockOf(*pdata);
    return doc.AddDocuments(docid, origdoc, lemdoc, block.data(),
                            static_cast<int32_t>(block.size()));
}

TDelTagMystemAnsiThread::TDelTagMystemAnsiThread(IMainThread& mainThread, std::string txtin,
                                                 std::string mystempar, std::string trash_file_loc,
                                                 TCodePage page, TStemmer stemid)
    : m_ProgramDir(ProgramDir()), m_MainThread(mainThread), m_txtin(std::move(txtin)),
      m_mystempar(std::move(mystempar)), trash_file(std::move(trash_file_loc)), curent_page(page),
      m_stemid(stemid)
{
    if (!m_txtin.empty() && m_txtin.back() != '/')
        m_txtin += '/';
    WriteLog("TDelTagMystemAnsiThread::Create");
}

TDelTagMystemAnsiThread::~TDelTagMystemAnsiThread()
{
    Terminate();
    WaitFor();
    WriteLog("TDelTagMystemAnsiThread::Destroy");
}

void TDelTagMystemAnsiThread::Start()
{
    m_Thread = std::thread([this] { Execute(); });
}

void TDelTagMystemAnsiThread::Terminate()
{
    m_Terminated.store(true);
    TChildSlots::Process().WakeAll();
}

void TDelTagMystemAnsiThread::WaitFor()
{
    if (m_Thread.joinable())
        m_Thread.join();
}

void TDelTagMystemAnsiThread::LoadTrash()
{
    file_trash.clear();
    if (trash_file.empty())
        return;
    std::string text;
    if (!ReadWholeFile(trash_file, text)) {
        WriteLog("TDelTagMystemAnsiThread::Execute: cannot read the trash file " + trash_file +
                 ", running without trash lines");
        return;
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        file_trash.push_back(text.substr(start, end - start));
        // CR LF is one line end.
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}

const TDocMetaData* TDelTagMystemAnsiThread::FindMetaData(const TParseMetadata& metadata,
                                                          const std::string& path) const
{
    // File names are UTF-8 here; metadata.csv is single-byte text.
    const std::string name = Utf8ToCp1251(std::filesystem::path(path).filename().string());
    int32_t id = 0;
    if (ParseInt32(name.substr(0, name.find('.')), id))
        return metadata.GetDocMetaDataById(id);
    return metadata.GetDocMetaDataByStrId(name);
}

void TDelTagMystemAnsiThread::ReportProgress(bool done)
{
    const auto now = std::chrono::steady_clock::now();
    if (!done && m_progress == m_ReportedProgress && now - m_ReportedAt < kProgressInterval)
        return;
    m_ReportedProgress = m_progress;
    m_ReportedAt = now;
    if (OnProgress)
        m_MainThread.Send([&] { OnProgress(*this, m_progress, done); });
}

void TDelTagMystemAnsiThread::ReapFinishedFeeders()
{
    std::erase_if(m_Feeders, [](const auto& feeder) { return feeder->Finished(); });
}

void TDelTagMystemAnsiThread::LaunchChild(int32_t docid, const TDocMetaData* pdata)
{
    WriteLog("TDelTagMystemAnsiThread: Try exec mystem docid=" + std::to_string(docid));
    auto mi = std::make_unique<TMystemInfo>();
    mi->docid = docid;
    mi->pdata = pdata;
    mi->inst = rawdocms;

    TChildSlots& slots = TChildSlots::Process();
    if (!slots.Acquire(m_MaxChildren, m_Terminated))
        return;
    ReapFinishedFeeders();
    TSpawnOptions options;
    options.argv = {JoinPath(m_ProgramDir, m_stemid == stemRootcut ? "rootcut" : "mystem")};
    for (auto& arg : SplitParameters(m_mystempar))
        options.argv.push_back(std::move(arg));
    auto child = std::make_unique<TChildProcess>();
    std::string error;
    if (!child->Start(options, error)) {
        WriteLog("TDelTagMystemAnsiThread: process mystem created ERROR");
        WriteLog("TDelTagMystemAnsiThread: " + error);
        slots.Release();
        return;
    }
    WriteLog("TDelTagMystemAnsiThread: process mystem created OK");
    mi->child = std::move(child);

    TMystemAnsiThread::TSettings settings;
    settings.codePage = curent_page;
    settings.idleLimit = m_ChildIdleLimit;
    settings.slots = &slots;
    settings.cancel = &m_Terminated;
    settings.deliver = [this](int32_t id, TStream& orig, TStream& lem, const TDocMetaData* data) {
        if (OnMystemAnsiReady)
            m_MainThread.Send([&] { OnMystemAnsiReady(*this, id, orig, lem, data); });
    };
    m_Feeders.push_back(std::make_unique<TMystemAnsiThread>(std::move(mi), std::move(settings)));
    m_Feeders.back()->Start();
}

void TDelTagMystemAnsiThread::Execute()
{
    WriteLog("TDelTagMystemAnsiThread::Execute");
    LoadTrash();
    const std::vector<TTextFile> SL = ListTextFiles(m_txtin);
    m_FileCount.store(static_cast<int32_t>(SL.size()));
    m_fullsizekb = 0;
    for (const auto& f : SL)
        m_fullsizekb += f.sizekb;
    const TParseMetadata metadata(m_txtin + "metadata.csv");
    WriteLog("TDelTagMystemAnsiThread: metadata loaded");

    int64_t donekb = 0;
    for (size_t i = 0; i < SL.size() && !m_Terminated.load(); ++i) {
        const auto docid = static_cast<int32_t>(i);
        WriteLog("TDelTagMystemAnsiThread::Execute i=" + std::to_string(docid));
        donekb += SL[i].sizekb;
        m_progress = static_cast<int32_t>(
            std::lround(100.0 * static_cast<double>(donekb) / static_cast<double>(m_fullsizekb)));
        std::string raw;
        if (ReadWholeFile(SL[i].path, raw)) {
            rawdocms = RemoveTags(raw, file_trash);
            LaunchChild(docid, FindMetaData(metadata, SL[i].path));
            rawdocms.clear();
        } else {
            WriteLog("TDelTagMystemAnsiThread::Execute: cannot read " + SL[i].path +
                     ", docid=" + std::to_string(docid) + " skipped");
        }
        ReportProgress(false);
    }
    // Every feeder ends once its child has; the metadata they point into lives until then.
    m_Feeders.clear();
    file_trash.clear();
    m_done.store(true);
    ReportProgress(true);
    WriteLog("TDelTagMystemAnsiThread::Execute completed");
}

} // namespace corvane
