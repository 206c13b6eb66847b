#pragma once

#include <functional>
#include <string>
#include <vector>

namespace corvane::cli {

/// One subcommand of corvane-cli.
struct TCommand
{
    const char* name;
    const char* usage;   // arguments after the name
    const char* summary; // one line for the help text
    std::function<int(const std::vector<std::string>&)> run;
};

/// Every subcommand, in the order the help text lists them.
const std::vector<TCommand>& Commands();

// Each command file defines its entry points; commands.cpp lists them.
int RunInfo(const std::vector<std::string>& args);
int RunDocs(const std::vector<std::string>& args);
int RunWordmap(const std::vector<std::string>& args);
int RunTable(const std::vector<std::string>& args);
int RunSort(const std::vector<std::string>& args);
int RunTopwords(const std::vector<std::string>& args);
int RunLemmatize(const std::vector<std::string>& args);
int RunDictionary(const std::vector<std::string>& args);
int RunStopwords(const std::vector<std::string>& args);
int RunFreqselect(const std::vector<std::string>& args);
int RunLda(const std::vector<std::string>& args);
int RunDemo(const std::vector<std::string>& args);

} // namespace corvane::cli
