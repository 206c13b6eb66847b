#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace corvane::test {

/// A fresh temporary folder, removed with everything in it when the guard goes.
class TTempDir
{
public:
    TTempDir()
    {
        std::string templ = (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
        if (!::mkdtemp(templ.data()))
            std::abort();
        m_Path = templ;
    }
    ~TTempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_Path, ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::string& Path() const { return m_Path; }
    std::string File(const std::string& name) const { return m_Path + "/" + name; }

private:
    std::string m_Path;
};

inline std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// The folder of the small committed test files.
inline std::string FixturePath(const std::string& relative)
{
    const char* dir = std::getenv("CORVANE_FIXTURES");
    return std::string(dir ? dir : CORVANE_FIXTURES_DIR) + "/" + relative;
}

} // namespace corvane::test
