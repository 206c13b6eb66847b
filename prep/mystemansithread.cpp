#include "prep/mystemansithread.h"

#include "container/logunit.h"
#include "container/streams.h"
#include "platform/codepage.h"
#include "prep/childslots.h"

#include <cstdio>

namespace corvane {
namespace {

constexpr char kEndOfText = '\x1A';
constexpr char kEmptyDocument[] = "{00000}";

} // namespace

TMystemAnsiThread::TMystemAnsiThread(std::unique_ptr<TMystemInfo> mi, TSettings settings)
    : m_mi(std::move(mi)), m_Settings(std::move(settings))
{
}

TMystemAnsiThread::~TMystemAnsiThread()
{
    WaitFor();
}

void TMystemAnsiThread::Start()
{
    m_Thread = std::thread([this] { Execute(); });
}

void TMystemAnsiThread::WaitFor()
{
    if (m_Thread.joinable())
        m_Thread.join();
}

void TMystemAnsiThread::Execute()
{
    TMystemInfo& mi = *m_mi;
    const std::string input = mi.inst + kEndOfText;
    const TExchangeResult result = ExchangeWithChild(*mi.child, input, mi.outst,
                                                     m_Settings.idleLimit, true, m_Settings.cancel);
    const std::string id = std::to_string(mi.docid);
    if (result == TExchangeResult::IdleTimeout) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g",
                      static_cast<double>(m_Settings.idleLimit.count()) / 1000);
        WriteLog(std::string("TMystemAnsiThread::Execute: no output for ") + seconds +
                 " s, child killed, docid=" + id);
        mi.outst.clear();
    } else if (result == TExchangeResult::Error) {
        WriteLog("TMystemAnsiThread::Execute: pipe error, docid=" + id);
        mi.outst.clear();
    }
    // The child has closed its output; end it before its slot goes back so that no more than
    // the limit ever run.
    mi.child->Kill();
    mi.child->Wait();
    mi.child.reset();
    m_Settings.slots->Release();

    if (result != TExchangeResult::Cancelled) {
        const bool utf8 = m_Settings.codePage == cpUtf8;
        m_origstr = utf8 ? Utf8ToCp1251(mi.inst) : mi.inst;
        m_ansistr = utf8 ? Utf8ToCp1251(mi.outst) : mi.outst;
        LowerAsciiInPlace(m_ansistr);
        if (m_ansistr.empty())
            m_ansistr = kEmptyDocument;
        TDummyMemoryStream origms, ansims;
        origms.SetPointer(m_origstr.data(), static_cast<int64_t>(m_origstr.size()));
        ansims.SetPointer(m_ansistr.data(), static_cast<int64_t>(m_ansistr.size()));
        m_Settings.deliver(mi.docid, origms, ansims, mi.pdata);
    }
    m_mi.reset();
    m_Finished.store(true);
}

} // namespace corvane
