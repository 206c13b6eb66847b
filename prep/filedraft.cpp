#include "prep/filedraft.h"

#include "platform/codepage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace corvane {

bool SameFileNameIgnoringCase(const std::string& a, const std::string& b)
{
    size_t lostA = 0;
    size_t lostB = 0;
    const std::string ansiA = Utf8ToCp1251(a, &lostA);
    const std::string ansiB = Utf8ToCp1251(b, &lostB);
    if (lostA || lostB)
        return a == b;
    return LowerCp1251(ansiA) == LowerCp1251(ansiB);
}

TFileDraft::~TFileDraft()
{
    Discard();
}

bool TFileDraft::CopyFrom(const std::string& source, const std::string& target)
{
    Discard();
    std::string templ = target + ".part-XXXXXX";
    const int fd = ::mkstemp(templ.data());
    if (fd < 0) {
        m_LastError = "cannot create a file beside " + target + ": " + std::strerror(errno);
        return false;
    }
    ::close(fd);
    m_Path = templ;
    m_Target = target;
    std::error_code ec;
    namespace fs = std::filesystem;
    fs::copy_file(source, m_Path, fs::copy_options::overwrite_existing, ec);
    if (!ec) {
        const fs::file_status st = fs::status(source, ec);
        if (!ec)
            fs::permissions(m_Path, st.permissions(), ec);
    }
    if (ec) {
        m_LastError = "cannot copy " + source + " to " + target + ": " + ec.message();
        Discard();
        return false;
    }
    return true;
}

bool TFileDraft::Commit()
{
    if (m_Path.empty())
        return false;
    if (std::rename(m_Path.c_str(), m_Target.c_str()) != 0) {
        m_LastError = "cannot replace " + m_Target + ": " + std::strerror(errno);
        Discard();
        return false;
    }
    m_Path.clear();
    return true;
}

void TFileDraft::Discard()
{
    if (!m_Path.empty())
        ::unlink(m_Path.c_str());
    m_Path.clear();
}

} // namespace corvane
