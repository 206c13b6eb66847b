#include "tools/rootcut/textio.h"

#include "tools/rootcut/rootcuterror.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace corvane {
namespace {

constexpr char kEndOfText = 0x1A;
constexpr size_t kPieceSize = 1 << 18;

[[noreturn]] void ThrowIo(const std::string& what, const std::string& name)
{
    const std::string target = name.empty() ? std::string() : " \"" + name + "\"";
    throw TRootcutError("EInOutError", what + target + ": " + std::strerror(errno));
}

bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

} // namespace

TLineReader::TLineReader(const std::string& infile) : m_Name(infile)
{
    if (infile.empty()) {
        m_Fd = STDIN_FILENO;
        return;
    }
    m_Fd = ::open(infile.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_Fd < 0)
        ThrowIo("Cannot open file", infile);
    m_Owned = true;
}

TLineReader::~TLineReader()
{
    if (m_Owned)
        ::close(m_Fd);
}

bool TLineReader::ReadPiece()
{
    const size_t used = m_Pending.size();
    m_Pending.resize(used + kPieceSize);
    ssize_t n;
    do
        n = ::read(m_Fd, m_Pending.data() + used, kPieceSize);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        ThrowIo("Cannot read file", m_Name);
    // Whatever follows 0x1A in this piece is dropped and nothing more is read.
    const auto* stop =
        static_cast<const char*>(std::memchr(m_Pending.data() + used, kEndOfText, n));
    m_Pending.resize(stop ? static_cast<size_t>(stop - m_Pending.data()) : used + n);
    return n > 0 && !stop;
}

bool TLineReader::Next(std::string& block)
{
    block.clear();
    while (!m_Ended) {
        const size_t searchFrom = m_Pending.size();
        m_Ended = !ReadPiece();
        if (m_Ended) {
            if (!m_Pending.empty() && !IsLineEnd(m_Pending.back()))
                m_Pending += ' ';
            block.swap(m_Pending);
            break;
        }
        size_t lastEnd = m_Pending.size();
        while (lastEnd > searchFrom && !IsLineEnd(m_Pending[lastEnd - 1]))
            --lastEnd;
        if (lastEnd > searchFrom) {
            block.assign(m_Pending, 0, lastEnd);
            m_Pending.erase(0, lastEnd);
            break;
        }
    }
    for (char& c : block)
        if (IsLineEnd(c))
            c = ' ';
    return !block.empty();
}

TTextWriter::TTextWriter(const std::string& outfile) : m_Name(outfile)
{
    if (outfile.empty())
        m_Fd = STDOUT_FILENO;
}

TTextWriter::~TTextWriter()
{
    if (m_Owned)
        ::close(m_Fd);
}

void TTextWriter::Open()
{
    m_Fd = ::open(m_Name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_Fd < 0)
        ThrowIo("Cannot create file", m_Name);
    m_Owned = true;
}

void TTextWriter::Write(std::string_view text)
{
    if (m_Fd < 0)
        Open();
    while (!text.empty()) {
        const ssize_t n = ::write(m_Fd, text.data(), text.size());
        if (n < 0 && errno != EINTR)
            ThrowIo("Cannot write file", m_Name);
        if (n > 0)
            text.remove_prefix(static_cast<size_t>(n));
    }
}

void TTextWriter::Close()
{
    if (m_Fd < 0)
        Open();
    if (!m_Owned)
        return;
    m_Owned = false;
    if (::close(m_Fd) != 0)
        ThrowIo("Cannot write file", m_Name);
}

} // namespace corvane
