#include "cli/args.h"

#include "platform/userlocale.h"

namespace corvane::cli {

TArgs::TArgs(const std::vector<std::string>& args, const std::set<std::string>& valued,
             const std::set<std::string>& flags)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            const std::string name = a.substr(2);
            if (valued.count(name)) {
                if (i + 1 >= args.size())
                    throw TCliError("option " + a + " needs a value");
                m_Values[name] = args[++i];
            } else if (flags.count(name)) {
                m_Flags.insert(name);
            } else {
                throw TCliError("unknown option " + a);
            }
        } else {
            m_Positional.push_back(a);
        }
    }
}

const std::string& TArgs::Required(size_t index, const char* what) const
{
    if (index >= m_Positional.size())
        throw TCliError(std::string("missing argument: ") + what);
    return m_Positional[index];
}

void TArgs::ExpectPositional(size_t count) const
{
    if (m_Positional.size() > count)
        throw TCliError("unexpected argument: " + m_Positional[count]);
}

std::string TArgs::Get(const std::string& name, const std::string& fallback) const
{
    auto it = m_Values.find(name);
    return it == m_Values.end() ? fallback : it->second;
}

int32_t TArgs::GetInt(const std::string& name, int32_t fallback) const
{
    auto it = m_Values.find(name);
    if (it == m_Values.end())
        return fallback;
    int32_t v = 0;
    if (!ParseInt32(it->second, v))
        throw TCliError("--" + name + " needs a whole number, not \"" + it->second + "\"");
    return v;
}

double TArgs::GetDecimal(const std::string& name, double fallback) const
{
    auto it = m_Values.find(name);
    if (it == m_Values.end())
        return fallback;
    double v = 0;
    if (!ParseUserDecimal(it->second, v))
        throw TCliError("--" + name + " needs a number, not \"" + it->second + "\"");
    return v;
}

} // namespace corvane::cli
