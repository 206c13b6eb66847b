#include "platform/appdirs.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace corvane {

std::string ProgramDir()
{
    static const std::string dir = [] {
        std::error_code ec;
        auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        std::string d = ec ? std::filesystem::current_path(ec).string() : exe.parent_path().string();
        if (d.empty() || d.back() != '/')
            d += '/';
        return d;
    }();
    return dir;
}

std::string SettingsDir()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        base = std::filesystem::temp_directory_path().string();
    std::string dir = JoinPath(base, "Corvane") + "/";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir;
}

std::string WritableProgramDir()
{
    const std::string dir = ProgramDir();
    return ::access(dir.c_str(), W_OK) == 0 ? dir : SettingsDir();
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty())
        return name;
    if (dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

} // namespace corvane
