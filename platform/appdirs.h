#pragma once

#include <string>

namespace corvane {

/// The folder of the running executable, with a trailing "/". Child programs, engine libraries
/// and the program's data files live here.
std::string ProgramDir();

/// The user's settings folder, "$XDG_CONFIG_HOME/Corvane/" (default "~/.config/Corvane/"),
/// created on first use.
std::string SettingsDir();

/// Where the program writes files that belong in its own folder (log.txt, working tables):
/// the program's folder when it is writable, the settings folder otherwise.
std::string WritableProgramDir();

/// Joins a folder and a file name with exactly one "/".
std::string JoinPath(const std::string& dir, const std::string& name);

} // namespace corvane
