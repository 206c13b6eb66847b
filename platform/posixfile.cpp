#include "platform/posixfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

TPosixFile::~TPosixFile()
{
    Close();
}

bool TPosixFile::Open(const std::string& path, TMode mode)
{
    Close();
    int flags = O_CLOEXEC;
    switch (mode) {
    case TMode::Read: flags |= O_RDONLY; break;
    case TMode::ReadWrite: flags |= O_RDWR; break;
    case TMode::CreateTruncate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    m_Path = path;
    m_Fd = ::open(path.c_str(), flags, 0644);
    if (m_Fd < 0)
        return Fail("cannot open");
    struct stat st{};
    if (::fstat(m_Fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        Close();
        errno = EISDIR;
        return Fail("cannot open");
    }
    return true;
}

void TPosixFile::Close()
{
    if (m_Fd >= 0)
        ::close(m_Fd);
    m_Fd = -1;
}

int64_t TPosixFile::ReadAt(int64_t offset, void* dst, int64_t size) const
{
    if (m_Fd < 0 || offset < 0 || size < 0)
        return -1;
    auto* out = static_cast<char*>(dst);
    int64_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(m_Fd, out + done, static_cast<size_t>(size - done), offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("cannot read");
            return -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

bool TPosixFile::ReadExact(int64_t offset, void* dst, int64_t size) const
{
    int64_t n = ReadAt(offset, dst, size);
    if (n == size)
        return true;
    if (n >= 0)
        m_LastError = m_Path + ": unexpected end of file";
    return false;
}

bool TPosixFile::WriteAt(int64_t offset, const void* src, int64_t size)
{
    if (m_Fd < 0 || offset < 0 || size < 0)
        return false;
    const auto* in = static_cast<const char*>(src);
    int64_t done = 0;
    while (done < size) {
        ssize_t n = ::pwrite(m_Fd, in + done, static_cast<size_t>(size - done), offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Fail("cannot write");
        }
        done += n;
    }
    return true;
}

int64_t TPosixFile::Size() const
{
    struct stat st{};
    if (m_Fd < 0 || ::fstat(m_Fd, &st) != 0)
        return -1;
    return st.st_size;
}

bool TPosixFile::Truncate(int64_t size)
{
    if (m_Fd < 0 || ::ftruncate(m_Fd, size) != 0)
        return Fail("cannot truncate");
    return true;
}

bool TPosixFile::Fail(const char* what) const
{
    m_LastError = m_Path + ": " + what + ": " + std::strerror(errno);
    return false;
}

} // namespace corvane
