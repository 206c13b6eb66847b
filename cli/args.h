#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvane::cli {

/// A failure a command reports to the user: main prints the message on one line, exits 1.
class TCliError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// The arguments of one subcommand: positionals, "--name value" options and "--flag" switches.
class TArgs
{
public:
    /// `valued` lists the options that take a value, `flags` the switches; anything else that
    /// starts with "--" is an error.
    TArgs(const std::vector<std::string>& args, const std::set<std::string>& valued,
          const std::set<std::string>& flags);

    const std::vector<std::string>& Positional() const { return m_Positional; }
    /// The one positional argument at `index`; an error naming `what` when it is missing.
    const std::string& Required(size_t index, const char* what) const;
    /// Fails when more than `count` positionals were given.
    void ExpectPositional(size_t count) const;

    bool Has(const std::string& name) const { return m_Values.count(name) || m_Flags.count(name); }
    std::string Get(const std::string& name, const std::string& fallback = {}) const;
    int32_t GetInt(const std::string& name, int32_t fallback) const;
    /// A decimal in the user's format ("0,5" or "0.5").
    double GetDecimal(const std::string& name, double fallback) const;

private:
    std::vector<std::string> m_Positional;
    std::map<std::string, std::string> m_Values;
    std::set<std::string> m_Flags;
};

} // namespace corvane::cli
