#include "models/ldaengine.h"

namespace corvane {

std::string EngineLoadWarning(int32_t loadStatus)
{
    switch (loadStatus) {
    case 0:
        return {};
    case -1:
        return "Error on loading GIBBS LDA DLL: file not found.";
    case -2:
        return "Error on loading GIBBS LDA DLL: DLL (or its components) is currupted. All DLL "
               "should be 64 bit).";
    case -3:
        return "Error on loading GIBBS LDA DLL: wrong DLL version.";
    default:
        return "Error on loading GIBBS LDA DLL: unknown error.";
    }
}

} // namespace corvane
