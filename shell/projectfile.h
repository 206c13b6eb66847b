#pragma once

#include <optional>
#include <string>

namespace corvane {

/// A project: the loaded container and its two result tables (full paths, UTF-8), and the
/// sentiment dictionary that a project file may name.
struct TProject
{
    std::string ldaFile;
    std::string phiFile;
    std::string thetaFile;
    std::string sentDicFile;
};

/// Writes a project file: UTF-8 XML with its declaration, root "CorvaneProject" holding
/// "LDAFileName", "PhiFileName" and "ThetaFileName" (the dictionary is never written). A failed
/// write leaves an existing file as it was.
bool WriteProjectFile(const std::string& path, const TProject& project);

/// Reads a project file; elements it lacks stay empty. Nothing when the file cannot be read, is
/// no well-formed XML or has another root.
std::optional<TProject> ReadProjectFile(const std::string& path);

/// Where the files of a project read from `projectPath` lie now: when the container is not
/// where the project says, all three files are looked for in the project file's folder; a
/// dictionary that is nowhere is dropped. True when the container and both tables exist.
bool LocateProjectFiles(TProject& project, const std::string& projectPath);

} // namespace corvane
