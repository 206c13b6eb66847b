#pragma once

#include "outside/gibbsldacore/gibbsldacore.h"
#include "outside/gibbsldacore/ldastate.h"

#include <cstdint>

namespace corvane::gibbslda {

/// Sends the document-topic matrix (kind 1) and then the topic-word matrix (kind 2) of the
/// current state through `window`, synchronously, for sweep `iteration`. Builds one matrix at a
/// time and frees it as soon as the window has handled it.
template <class Entry>
void SendReports(const TLdaWindow& window, uint32_t iteration, const TLdaState<Entry>& state);

} // namespace corvane::gibbslda
