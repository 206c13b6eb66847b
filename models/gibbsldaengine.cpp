#include "models/gibbsldaengine.h"

#include <chrono>

namespace corvane {
namespace {

intptr_t Deliver(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (message == WM_LDADATAREADY)
        (*static_cast<const TLdaReport*>(context))(wParam, reinterpret_cast<const void*>(lParam));
    return 0;
}

int32_t PollStop(void* context)
{
    return static_cast<TEvent*>(context)->Wait(std::chrono::milliseconds(0)) ? 1 : 0;
}

} // namespace

int32_t TGibbsLdaEngine::Calc(const TLdaEngineCall& call, const TLdaReport& report,
                              TEvent& stopEvent)
{
    const TLdaWindow window{const_cast<TLdaReport*>(&report), &Deliver};
    const TLdaStopEvent stop{&stopEvent, &PollStop};
    return m_Core.Calc(&window, &stop, call.threads, call.alpha, call.beta, call.K, call.niters,
                       call.savestep, call.twords, call.M, call.V, call.lengths, call.docs,
                       call.fixedCount, call.fixed, call.granlda, call.granwnd);
}

} // namespace corvane
