#pragma once

#include <string>
#include <vector>

namespace corvane {

/// What the command line asks for; empty file names mean the standard streams.
struct TRootcutArgs
{
    std::string infile;
    std::string outfile;
    bool cp_utf8 = false;
};

/// Reads the arguments left to right: "-e" makes the next argument the code page ("utf-8"
/// selects UTF-8), other "-" arguments are ignored, the last plain argument is the output file
/// and an earlier one the input file. Throws TRootcutError (EAbort) when only one file is given.
TRootcutArgs ParseArguments(const std::vector<std::string>& args);

} // namespace corvane
