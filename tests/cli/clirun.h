#pragma once

#include "platform/appdirs.h"
#include "platform/childprocess.h"
#include "tests/support/tempdir.h"

#include <chrono>
#include <string>
#include <vector>

namespace corvane::test {

struct TRun
{
    int status = -1;
    std::string out;
    std::string err; // only when RunCli was given a file for it
};

/// Runs corvane-cli with `args`. Its stderr goes to `errFile` and is read back when one is given;
/// otherwise it is not captured (a failing test shows it).
inline TRun RunCli(std::vector<std::string> args, const std::string& errFile = {})
{
    TSpawnOptions o;
    if (!errFile.empty())
        o.argv = {"/bin/sh", "-c", "err=$1; shift; exec \"$@\" 2>\"$err\"", "sh", errFile};
    o.argv.push_back(ProgramDir() + "corvane-cli");
    o.argv.insert(o.argv.end(), args.begin(), args.end());
    o.pipeStdin = false;
    o.niceIncrement = 0;
    TChildProcess child;
    std::string error;
    if (!child.Start(o, error))
        return {-1, error, {}};
    TRun run{};
    ExchangeWithChild(child, "", run.out, std::chrono::seconds(60));
    run.status = child.Wait();
    if (!errFile.empty())
        run.err = ReadFileBytes(errFile);
    return run;
}

} // namespace corvane::test
