#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::mystem {

/// A parsed JSON value: enough of JSON for the dictionary's metadata and tables.
struct TJson
{
    enum class TKind { Null, Bool, Number, String, Array, Object };
    TKind kind = TKind::Null;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::vector<TJson> array;
    std::map<std::string, TJson> object;

    /// Parses a whole document; false with `error` set on a syntax error.
    static bool Parse(std::string_view text, TJson& out, std::string& error);
    /// Reads and parses a file.
    static bool ParseFile(const std::string& path, TJson& out, std::string& error);
};

} // namespace corvane::mystem
