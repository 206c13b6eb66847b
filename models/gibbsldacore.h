#pragma once

#include "outside/gibbsldacore/gibbsldacore.h"

#include <cstdint>
#include <string>

namespace corvane {

/// Load status of the LDA engine library.
constexpr int32_t kGibbsLdaBound = 0;
constexpr int32_t kGibbsLdaNotFound = -1;
constexpr int32_t kGibbsLdaNotLoadable = -2;
constexpr int32_t kGibbsLdaWrongVersion = -3;
constexpr int32_t kGibbsLdaUnknownError = -10;

/// The engine library's file name in the program's folder.
inline constexpr const char* kGibbsLdaLibraryName = "libgibbsldacore.so";

/// Binds the outside LDA engine: loads the library by name from a folder, checks its version
/// and looks up gibbsldaCalc. Holds the library until it is destroyed.
class TGibbsLdaCore
{
public:
    TGibbsLdaCore() = default;
    ~TGibbsLdaCore();
    TGibbsLdaCore(const TGibbsLdaCore&) = delete;
    TGibbsLdaCore& operator=(const TGibbsLdaCore&) = delete;

    /// Loads kGibbsLdaLibraryName from `folder` (releasing what was bound before) and returns the
    /// new load status: 0 bound, -1 no such file, -2 not a loadable library, -3 no version
    /// function or a version other than 2.0.0.1, -10 anything else (such as a missing entry).
    int32_t Load(const std::string& folder);

    int32_t LoadStatus() const { return m_LoadStatus; }

    /// Calls the engine's gibbsldaCalc; returns the load status without calling when unbound.
    int32_t Calc(const TLdaWindow* window, const TLdaStopEvent* stopEvent, int32_t threads,
                 double alpha, double beta, int32_t K, int32_t niters, int32_t savestep,
                 int32_t twords, int32_t M, int32_t V, const int32_t* lengths,
                 const int32_t* const* docs, int32_t fixedCount, const TFixedTopics* fixed,
                 int32_t granlda, int32_t granwnd) const;

private:
    void Release();

    void* m_Library = nullptr;
    TGibbsLdaCalc m_Calc = nullptr;
    int32_t m_LoadStatus = kGibbsLdaUnknownError;
};

/// The program's binding, loaded from the program's folder on first use and kept loaded for
/// the rest of the run.
TGibbsLdaCore& GibbsLdaCore();

} // namespace corvane
