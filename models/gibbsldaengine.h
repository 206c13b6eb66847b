#pragma once

#include "models/gibbsldacore.h"
#include "models/ldaengine.h"

namespace corvane {

/// The run's engine over the bound engine library: reports reach the run through the library's
/// window callback, and the library polls the run's stop event.
class TGibbsLdaEngine : public ILdaEngine
{
public:
    explicit TGibbsLdaEngine(const TGibbsLdaCore& core) : m_Core(core) {}

    /// Returns the library's load status without calling it when it is not bound.
    int32_t Calc(const TLdaEngineCall& call, const TLdaReport& report, TEvent& stopEvent) override;

private:
    const TGibbsLdaCore& m_Core;
};

} // namespace corvane
