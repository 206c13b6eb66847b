#pragma once

#include <string>
#include <string_view>

namespace corvane {

/// UTF-8 to Windows-1251, into `ansi` (replacing what it held); a character the code page cannot
/// hold, or a malformed sequence, becomes one "?". Throws TRootcutError when the system has no such
/// converter.
void Utf8ToAnsi(std::string_view utf8, std::string& ansi);

/// Windows-1251 to UTF-8, into `utf8` (replacing what it held); a byte the converter does not know
/// becomes "?".
void AnsiToUtf8(std::string_view ansi, std::string& utf8);

} // namespace corvane
