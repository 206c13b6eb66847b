#pragma once

#include <string>

namespace corvane {

/// True when two file names are the same ignoring letter case (the case rules of Windows-1251
/// for names it can hold; other names must match exactly).
bool SameFileNameIgnoringCase(const std::string& a, const std::string& b);

/// A new version of a file, written under a temporary name beside it and renamed over it by
/// Commit, so the file is either replaced whole or left as it was. A draft that is not
/// committed is removed.
class TFileDraft
{
public:
    TFileDraft() = default;
    ~TFileDraft();
    TFileDraft(const TFileDraft&) = delete;
    TFileDraft& operator=(const TFileDraft&) = delete;

    /// Starts the draft of `target` as a copy of `source` (which may be `target` itself).
    bool CopyFrom(const std::string& source, const std::string& target);
    /// Where the draft is written until Commit.
    const std::string& Path() const { return m_Path; }
    /// Renames the draft to its target.
    bool Commit();
    /// Removes the draft.
    void Discard();

    const std::string& LastError() const { return m_LastError; }

private:
    std::string m_Path;
    std::string m_Target;
    std::string m_LastError;
};

} // namespace corvane
