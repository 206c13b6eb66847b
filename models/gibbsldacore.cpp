#include "models/gibbsldacore.h"

#include "platform/appdirs.h"

#include <cerrno>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

TGibbsLdaCore::~TGibbsLdaCore()
{
    Release();
}

void TGibbsLdaCore::Release()
{
    if (m_Library != nullptr)
        dlclose(m_Library);
    m_Library = nullptr;
    m_Calc = nullptr;
    m_LoadStatus = kGibbsLdaUnknownError;
}

int32_t TGibbsLdaCore::Load(const std::string& folder)
{
    Release();
    const std::string path = JoinPath(folder, kGibbsLdaLibraryName);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        m_LoadStatus = (errno == ENOENT || errno == ENOTDIR) ? kGibbsLdaNotFound : kGibbsLdaUnknownError;
        return m_LoadStatus;
    }
    if (!S_ISREG(info.st_mode) || ::access(path.c_str(), R_OK) != 0)
        return m_LoadStatus;

    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        m_LoadStatus = kGibbsLdaNotLoadable;
        return m_LoadStatus;
    }
    const auto version = reinterpret_cast<TGibbsLdaVersion>(dlsym(library, "gibbsldaVersion"));
    if (version == nullptr || version() != GIBBSLDA_VERSION) {
        dlclose(library);
        m_LoadStatus = kGibbsLdaWrongVersion;
        return m_LoadStatus;
    }
    const auto calc = reinterpret_cast<TGibbsLdaCalc>(dlsym(library, "gibbsldaCalc"));
    if (calc == nullptr) {
        dlclose(library);
        return m_LoadStatus;
    }
    m_Library = library;
    m_Calc = calc;
    m_LoadStatus = kGibbsLdaBound;
    return m_LoadStatus;
}

int32_t TGibbsLdaCore::Calc(const TLdaWindow* window, const TLdaStopEvent* stopEvent,
                            int32_t threads, double alpha, double beta, int32_t K, int32_t niters,
                            int32_t savestep, int32_t twords, int32_t M, int32_t V,
                            const int32_t* lengths, const int32_t* const* docs,
                            int32_t fixedCount, const TFixedTopics* fixed, int32_t granlda,
                            int32_t granwnd) const
{
    if (m_Calc == nullptr)
        return m_LoadStatus;
    return m_Calc(window, stopEvent, threads, alpha, beta, K, niters, savestep, twords, M, V,
                  lengths, docs, fixedCount, fixed, granlda, granwnd);
}

TGibbsLdaCore& GibbsLdaCore()
{
    static TGibbsLdaCore core;
    static const bool loaded = (core.Load(ProgramDir()), true);
    (void)loaded;
    return core;
}

} // namespace corvane
