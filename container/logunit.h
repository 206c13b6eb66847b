#pragma once

#include <string>
#include <string_view>

namespace corvane {

/// Creates "log.txt" anew in the program's folder (the settings folder when that is not
/// writable) or in `dir` when given. Returns false with `error` set when it cannot be created.
bool StartLog(std::string& error, const std::string& dir = {});

/// Appends `text` and a line end to the log; does nothing before StartLog.
void WriteLog(std::string_view text);

/// Closes the log file.
void StopLog();

/// The full path of the current log file, empty when none is open.
std::string LogPath();

} // namespace corvane
