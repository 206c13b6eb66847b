// corvane-cli: the Corvane core driven from a terminal.
#include "cli/args.h"
#include "cli/commands.h"

#include <cstring>
#include <exception>
#include <iostream>

namespace {

void PrintHelp(std::ostream& out)
{
    out << "usage: corvane-cli COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const auto& c : corvane::cli::Commands())
        out << "  " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help") ||
        !std::strcmp(argv[1], "-h")) {
        PrintHelp(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const auto& c : corvane::cli::Commands()) {
        if (c.name != std::string(argv[1]))
            continue;
        try {
            return c.run(args);
        } catch (const corvane::cli::TCliError& e) {
            std::cerr << "corvane-cli " << c.name << ": " << e.what() << "\n";
        } catch (const std::exception& e) {
            std::cerr << "corvane-cli " << c.name << ": unexpected failure: " << e.what() << "\n";
        }
        return 1;
    }
    std::cerr << "corvane-cli: unknown command \"" << argv[1] << "\" (see corvane-cli help)\n";
    return 2;
}
