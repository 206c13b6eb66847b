#pragma once

#include "outside/gibbsldacore/gibbsldacore.h"
#include "platform/event.h"

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

/// Kinds of the engine's reports, in bits 0-7 of their WParam; the iteration is in bits 8 and up.
constexpr uint32_t kReportTheta = GIBBSLDA_KIND_THETA; // LParam: M pointers to K values
constexpr uint32_t kReportPhi = GIBBSLDA_KIND_PHI;     // LParam: K pointers to V values

/// The arguments of one engine run. All arrays belong to the caller and stay valid until the
/// call returns.
struct TLdaEngineCall
{
    int32_t threads = 1;
    double alpha = 0;
    double beta = 0;
    int32_t K = 0;
    int32_t niters = 0;
    int32_t savestep = 0;
    int32_t twords = 0;
    int32_t M = 0;
    int32_t V = 0;
    const int32_t* lengths = nullptr;     // M document lengths
    const int32_t* const* docs = nullptr; // M arrays of word-map indices
    int32_t fixedCount = 0;
    const TFixedTopics* fixed = nullptr; // null when fixedCount is 0
    int32_t granlda = 0;
    int32_t granwnd = 0;
};

/// Delivers one report (WParam, LParam) and returns once it has been handled; the matrix is
/// valid only during the call.
using TLdaReport = std::function<void(uintptr_t wParam, const void* lParam)>;

/// The LDA engine as a run sees it: one blocking call that reports its intermediate matrices and
/// watches an auto-reset stop event. Result: 1 stopped, negative an error, else completed.
class ILdaEngine
{
public:
    virtual ~ILdaEngine() = default;
    virtual int32_t Calc(const TLdaEngineCall& call, const TLdaReport& report,
                         TEvent& stopEvent) = 0;
};

/// The warning shown when the engine library could not be bound; empty for status 0.
std::string EngineLoadWarning(int32_t loadStatus);

} // namespace corvane
