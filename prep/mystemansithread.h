#pragma once

#include "platform/childprocess.h"
#include "prep/parsemetadata.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace corvane {

class TStream;
class TChildSlots;

/// Code pages of the input files and of the lemmatizer's output.
enum TCodePage : int32_t {
    cpUtf8 = 0,
    cpAnsi = 1,
};

/// One document on its way through a lemmatizer child.
struct TMystemInfo
{
    int32_t docid = 0;
    std::unique_ptr<TChildProcess> child; // the running child with its pipes
    std::string inst;                     // the document sent to the child
    std::string outst;                    // everything the child wrote
    const TDocMetaData* pdata = nullptr;  // the document's metadata, or none
};

/// Serves one child: writes the document and the end mark 0x1A while reading the output, gives
/// the child slot back, converts both texts to single-byte ANSI and delivers them.
class TMystemAnsiThread
{
public:
    using TDeliver = std::function<void(int32_t docid, TStream& origdoc, TStream& lemdoc,
                                        const TDocMetaData* pdata)>;

    struct TSettings
    {
        TCodePage codePage = cpUtf8;
        /// A child that neither takes input nor writes output this long is killed.
        std::chrono::milliseconds idleLimit{60000};
        TChildSlots* slots = nullptr;              // where the child's slot goes back
        const std::atomic<bool>* cancel = nullptr; // set: kill the child, deliver nothing
        TDeliver deliver;                          // runs on the feeder thread
    };

    TMystemAnsiThread(std::unique_ptr<TMystemInfo> mi, TSettings settings);
    ~TMystemAnsiThread();
    TMystemAnsiThread(const TMystemAnsiThread&) = delete;
    TMystemAnsiThread& operator=(const TMystemAnsiThread&) = delete;

    void Start();
    /// True once the thread has done everything and may be joined at once.
    bool Finished() const { return m_Finished.load(); }
    void WaitFor();

private:
    void Execute();

    std::unique_ptr<TMystemInfo> m_mi;
    TSettings m_Settings;
    std::string m_origstr;
    std::string m_ansistr;
    std::atomic<bool> m_Finished{false};
    std::thread m_Thread;
};

} // namespace corvane
