#include "tools/rootcut/arguments.h"

#include "tools/rootcut/rootcuterror.h"

namespace corvane {

TRootcutArgs ParseArguments(const std::vector<std::string>& args)
{
    TRootcutArgs result;
    bool b_next_codepage = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (b_next_codepage) {
            result.cp_utf8 = arg == "utf-8";
            b_next_codepage = false;
        } else if (arg == "-e") {
            b_next_codepage = true;
        } else if (!arg.starts_with('-')) {
            (i + 1 == args.size() ? result.outfile : result.infile) = arg;
        }
    }
    if (result.infile.empty() != result.outfile.empty())
        throw TRootcutError("EAbort", "Operation aborted");
    return result;
}

} // namespace corvane
