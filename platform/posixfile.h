#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

/// An open file descriptor with positionless reads and writes. Owns the descriptor.
/// Every operation returns false / -1 on failure and keeps the reason in LastError().
class TPosixFile
{
public:
    enum class TMode { Read, ReadWrite, CreateTruncate };

    TPosixFile() = default;
    ~TPosixFile();
    TPosixFile(const TPosixFile&) = delete;
    TPosixFile& operator=(const TPosixFile&) = delete;

    bool Open(const std::string& path, TMode mode);
    void Close();
    bool IsOpen() const { return m_Fd >= 0; }
    int Fd() const { return m_Fd; }

    /// Reads up to `size` bytes at `offset`; returns the count read (short at end of file), -1 on error.
    int64_t ReadAt(int64_t offset, void* dst, int64_t size) const;
    /// Reads exactly `size` bytes or fails.
    bool ReadExact(int64_t offset, void* dst, int64_t size) const;
    /// Writes all `size` bytes at `offset`, extending the file as needed.
    bool WriteAt(int64_t offset, const void* src, int64_t size);
    int64_t Size() const;
    bool Truncate(int64_t size);

    const std::string& LastError() const { return m_LastError; }

private:
    bool Fail(const char* what) const;

    int m_Fd = -1;
    std::string m_Path;
    mutable std::string m_LastError;
};

} // namespace corvane
