#include "container/streams.h"

#include <algorithm>
#include <cstring>

namespace corvane {

int32_t TCustomMemoryStream::Read(void* buffer, int32_t count)
{
    if (count <= 0 || m_Pos < 0 || m_Pos >= m_Size)
        return 0;
    const int64_t n = std::min<int64_t>(count, m_Size - m_Pos);
    std::memcpy(buffer, m_Memory + m_Pos, static_cast<size_t>(n));
    m_Pos += n;
    return static_cast<int32_t>(n);
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    switch (origin) {
    case TSeekOrigin::Begin: m_Pos = offset; break;
    case TSeekOrigin::Current: m_Pos += offset; break;
    case TSeekOrigin::End: m_Pos = m_Size + offset; break;
    }
    return m_Pos;
}

TMemoryStream::TMemoryStream(std::string content) : m_Buffer(content.begin(), content.end())
{
    Sync();
    m_Size = static_cast<int64_t>(m_Buffer.size());
}

void TMemoryStream::Sync()
{
    m_Memory = m_Buffer.empty() ? nullptr : m_Buffer.data();
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count)
{
    if (count <= 0 || m_Pos < 0)
        return 0;
    const int64_t end = m_Pos + count;
    if (end > static_cast<int64_t>(m_Buffer.size()))
        m_Buffer.resize(static_cast<size_t>(end));
    Sync();
    std::memcpy(m_Memory + m_Pos, buffer, static_cast<size_t>(count));
    m_Pos = end;
    m_Size = std::max(m_Size, end);
    return count;
}

void TMemoryStream::Clear()
{
    m_Buffer.clear();
    Sync();
    m_Size = 0;
    m_Pos = 0;
}

void TMemoryStream::SetSize(int64_t size)
{
    m_Buffer.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
    Sync();
    m_Size = static_cast<int64_t>(m_Buffer.size());
    m_Pos = std::min(m_Pos, m_Size);
}

void TDummyMemoryStream::SetPointer(void* ptr, int64_t size)
{
    m_Memory = static_cast<char*>(ptr);
    m_Size = ptr ? std::max<int64_t>(size, 0) : 0;
    m_Pos = 0;
}

int32_t TDummyMemoryStream::Write(const void* buffer, int32_t count)
{
    if (m_Pos < 0 || count < 0)
        return 0;
    const int64_t n = std::min<int64_t>(count, m_Size - m_Pos);
    if (n > 0)
        std::memcpy(m_Memory + m_Pos, buffer, static_cast<size_t>(n));
    // The position advances by what was copied, so it never passes the end.
    m_Pos += std::max<int64_t>(n, 0);
    return static_cast<int32_t>(std::max<int64_t>(n, 0));
}

} // namespace corvane
