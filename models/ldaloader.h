#pragma once

#include "models/ldadataset.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace corvane {

inline constexpr const char* kStatusDocumentsLoaded =
    "Status: Documents as bag of words are loaded";
inline constexpr const char* kMsgOldFormat = "This file has old format; it is not supported.";
inline constexpr const char* kMsgLoadError = "Error on loading LDA file.";

enum class TLdaLoadResult {
    Loaded,
    OldFormat, // the container has no binary LDA documents
    Failed     // unreadable, or LDA documents the runs cannot use
};

/// Brings a container's LDA documents and word map into memory for the model runs: the main
/// window's "Load data into LDA", the history menu and project loading all come here.
///
/// The word ids of the documents become word-map indices on several worker threads, while the
/// calling thread waits in slices and reports progress between them.
class TLdaLoader
{
public:
    /// Called on the loading thread after each waiting slice: documents done of the total.
    using TProgressEvent = std::function<void(int32_t done, int32_t total)>;

    /// Drops what was loaded, then loads `path` with `threads` workers. With `resetTables` the
    /// container's result tables are deleted; its sorted tables always are. A document id
    /// outside 0..count-1 or given twice, a word id that the word map lacks or a short read
    /// fails the load.
    TLdaLoadResult Load(const std::string& path, bool resetTables, int32_t threads);

    /// The loaded input; null when nothing is loaded.
    const std::shared_ptr<const TLdaInput>& Input() const { return m_Input; }
    /// The message a failed load shows (one of the texts above); empty after success.
    const std::string& ErrorText() const { return m_ErrorText; }
    /// The second status-bar panel after a successful load: "File name: " and the file's name.
    static std::string FileNameText(const std::string& path);

    /// How long the loading thread waits between progress reports (500 ms unless set).
    void SetPollInterval(std::chrono::milliseconds interval) { m_PollInterval = interval; }

    TProgressEvent OnProgress;

private:
    TLdaLoadResult Fail(TLdaLoadResult result);
    bool ReplaceWordIds(TLdaInput& input, int32_t threads);

    std::shared_ptr<const TLdaInput> m_Input;
    std::string m_ErrorText;
    std::chrono::milliseconds m_PollInterval{500};
};

} // namespace corvane
