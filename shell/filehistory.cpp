#include "shell/filehistory.h"

#include "platform/userlocale.h"

#include <algorithm>

namespace corvane {
namespace {

int32_t ReadInt(const TFileHistory::TReadKey& read, const std::string& key, int32_t fallback)
{
    int32_t value = fallback;
    if (auto text = read(key); !text || !ParseInt32(*text, value))
        return fallback;
    return value;
}

} // namespace

void TFileHistory::Load(const TReadKey& read)
{
    m_FileHistoryMax = std::max(0, ReadInt(read, "MaxCount", kDefaultMaxCount));
    const int32_t count = std::clamp(ReadInt(read, "Count", 0), 0, m_FileHistoryMax);
    m_FileHistory.clear();
    for (int32_t i = 0; i < count; ++i) {
        auto path = read("File" + std::to_string(i));
        if (path && !path->empty())
            m_FileHistory.push_back(*path);
    }
}

void TFileHistory::Save(const TWriteKey& write) const
{
    write("Count", std::to_string(m_FileHistory.size()));
    write("MaxCount", std::to_string(m_FileHistoryMax));
    for (size_t i = 0; i < m_FileHistory.size(); ++i)
        write("File" + std::to_string(i), m_FileHistory[i]);
}

void TFileHistory::Add(const std::string& path)
{
    // Paths compare exactly: file names differing only in letter case are different files here.
    auto it = std::find(m_FileHistory.begin(), m_FileHistory.end(), path);
    if (it != m_FileHistory.end()) {
        MoveToTop(static_cast<int32_t>(it - m_FileHistory.begin()));
        return;
    }
    m_FileHistory.insert(m_FileHistory.begin(), path);
    if (static_cast<int32_t>(m_FileHistory.size()) > m_FileHistoryMax)
        m_FileHistory.pop_back();
}

void TFileHistory::MoveToTop(int32_t index)
{
    if (index <= 0 || index >= static_cast<int32_t>(m_FileHistory.size()))
        return;
    auto it = m_FileHistory.begin() + index;
    std::rotate(m_FileHistory.begin(), it, it + 1);
}

} // namespace corvane
