#include "container/logunit.h"

#include "platform/appdirs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace corvane {
namespace {

std::mutex g_LogMutex;
std::FILE* g_Log = nullptr;
std::string g_LogPath;

} // namespace

bool StartLog(std::string& error, const std::string& dir)
{
    std::lock_guard lock(g_LogMutex);
    if (g_Log)
        std::fclose(g_Log);
    g_LogPath = JoinPath(dir.empty() ? WritableProgramDir() : dir, "log.txt");
    g_Log = std::fopen(g_LogPath.c_str(), "we");
    if (!g_Log) {
        error = g_LogPath + ": " + std::strerror(errno);
        g_LogPath.clear();
        return false;
    }
    return true;
}

void WriteLog(std::string_view text)
{
    std::lock_guard lock(g_LogMutex);
    if (!g_Log)
        return;
    std::fwrite(text.data(), 1, text.size(), g_Log);
    std::fputc('\n', g_Log);
    std::fflush(g_Log);
}

void StopLog()
{
    std::lock_guard lock(g_LogMutex);
    if (g_Log)
        std::fclose(g_Log);
    g_Log = nullptr;
    g_LogPath.clear();
}

std::string LogPath()
{
    std::lock_guard lock(g_LogMutex);
    return g_LogPath;
}

} // namespace corvane
