#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

/// The main window's list of recently loaded containers: full paths, most recent first, no
/// duplicates, at most MaxCount entries. Kept in the settings file's "FileHistory" section as
/// "Count", "MaxCount" and "File0" .. "FileN".
class TFileHistory
{
public:
    static constexpr int32_t kDefaultMaxCount = 10;

    /// Reads one key of the section; nullopt when it is missing.
    using TReadKey = std::function<std::optional<std::string>(const std::string& key)>;
    using TWriteKey = std::function<void(const std::string& key, const std::string& value)>;

    /// Replaces the list with min(Count, MaxCount) entries read from the section (missing or
    /// empty entries are skipped); MaxCount becomes the limit.
    void Load(const TReadKey& read);
    /// Writes "Count", "MaxCount" and one "File" + i per entry.
    void Save(const TWriteKey& write) const;

    /// A container was loaded: a listed path moves to the top; a new one is inserted at the top
    /// and the oldest entry is dropped when the list grows past the limit.
    void Add(const std::string& path);
    /// Moves entry `index` to the top; out-of-range indexes are ignored.
    void MoveToTop(int32_t index);

    const std::vector<std::string>& Items() const { return m_FileHistory; }
    int32_t MaxCount() const { return m_FileHistoryMax; }

private:
    std::vector<std::string> m_FileHistory;
    int32_t m_FileHistoryMax = kDefaultMaxCount;
};

} // namespace corvane
