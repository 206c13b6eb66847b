#pragma once

#include <string>
#include <vector>

namespace corvane {

/// Reads a stop-word list file: one word a line, each taken exactly as it stands (no trimming,
/// no case change), lines ended by LF or CR LF; a last line end adds no empty word. A file in
/// UTF-8 (with or without a byte-order mark) is converted to Windows-1251; any other file is
/// taken as Windows-1251 already.
bool LoadStopWordList(const std::string& path, std::vector<std::string>& words, std::string& error);

/// Writes single-byte words one a line (CR LF), as the window saves a filtered word list.
bool SaveWordList(const std::string& path, const std::vector<std::string>& words,
                  std::string& error);

} // namespace corvane
