#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

enum class TSeekOrigin { Begin, Current, End };

/// A byte stream with a position: read, write, seek, size.
class TStream
{
public:
    virtual ~TStream() = default;
    /// Copies up to `count` bytes from the position on; returns the number copied.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    /// Writes `count` bytes at the position; returns the number written.
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    /// Moves the position; returns the new position.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size() const = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::Current); }
    void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::Begin); }
};

/// A stream over memory it does not own; see TMemoryStream and TDummyMemoryStream.
class TCustomMemoryStream : public TStream
{
public:
    int32_t Read(void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() const override { return m_Size; }
    const char* Memory() const { return m_Memory; }

protected:
    char* m_Memory = nullptr;
    int64_t m_Size = 0;
    int64_t m_Pos = 0;
};

/// A growable stream that owns its memory.
class TMemoryStream : public TCustomMemoryStream
{
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string content);
    TMemoryStream(const TMemoryStream&) = delete;
    TMemoryStream& operator=(const TMemoryStream&) = delete;

    int32_t Write(const void* buffer, int32_t count) override;
    void Clear();
    void SetSize(int64_t size);
    /// The whole content as a byte string.
    std::string Data() const { return std::string(m_Memory ? m_Memory : "", m_Size); }

private:
    void Sync();
    std::vector<char> m_Buffer;
};

/// A stream over a buffer set from outside with SetPointer. It never allocates, grows or frees
/// that memory: writes overwrite in place, and bytes that do not fit are dropped.
class TDummyMemoryStream : public TCustomMemoryStream
{
public:
    void SetPointer(void* ptr, int64_t size);
    int32_t Write(const void* buffer, int32_t count) override;
};

} // namespace corvane
