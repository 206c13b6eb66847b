// A stand-in engine library for the binding's load tests: exports a version function and the
// entry only where the build asks for them.
#include "outside/gibbsldacore/gibbsldacore.h"

#ifdef FAKE_VERSION
GIBBSLDA_API uint64_t gibbsldaVersion(void)
{
    return FAKE_VERSION;
}
#endif

#ifdef FAKE_WITH_ENTRY
GIBBSLDA_API int32_t gibbsldaCalc(const TLdaWindow*, const TLdaStopEvent*, int32_t, double, double,
                                  int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                  const int32_t*, const int32_t* const*, int32_t,
                                  const TFixedTopics*, int32_t, int32_t)
{
    return 42;
}
#endif
