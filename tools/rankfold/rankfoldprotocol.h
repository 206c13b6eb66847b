#pragma once

#include <cstdint>

namespace corvane {

// What the sorting program and the program that starts it agree on: its argument order, its
// progress message and its exit codes.

/// Argument positions after the program name.
enum TRankfoldArg : int {
    kArgThreads = 1,
    kArgTask,
    kArgInput,
    kArgWordCol,
    kArgOutput,
    kArgWindow,
    kRankfoldArgCount = kArgWindow
};

enum TRankfoldTask : int32_t { kTaskWordsByTopic = 0, kTaskDocsByTopic = 1, kTaskFrequencies = 2 };

/// The progress message (WM_USER + 600 in the window program).
constexpr int64_t kMsgSortProgress = 1624;
/// wParam of a progress message: lParam is the percentage of columns done.
constexpr int64_t kProgressColumnDone = 1;
/// wParam of the last message of a successful run; lParam is 1.
constexpr int64_t kProgressFinished = 2;

/// Exit codes (the process exit status is their low byte: 255, 253, 252).
constexpr int kExitBadArguments = -1;
constexpr int kExitInputUnreadable = -3;
constexpr int kExitOutputNotCreated = -4;

/// Name of the program in the program's folder.
constexpr const char* kRankfoldProgram = "rankfold";

} // namespace corvane
