#pragma once

#include <optional>
#include <string>

namespace corvane {

enum class TMsgButtons { Ok, OkCancel, YesNo };
enum class TMsgIcon { None, Information, Warning, Error, Question };
enum class TMsgResult { Ok, Cancel, Yes, No };

/// The questions a window asks its user: file and folder choices and message boxes. Windows get
/// it in their constructor so that tests can answer from a script. Texts and paths are UTF-8;
/// filters are in Qt's form ("Corvane LDA files (*.cvlda)").
class IDialogService
{
public:
    virtual ~IDialogService() = default;

    virtual std::optional<std::string> AskOpenFile(const std::string& caption,
                                                   const std::string& filter,
                                                   const std::string& startDir) = 0;
    /// Asks for a file to write; `defaultExt` (without dot) is added to a name without one, and
    /// an existing file is only returned after the user agreed to replace it.
    virtual std::optional<std::string> AskSaveFile(const std::string& caption,
                                                   const std::string& filter,
                                                   const std::string& defaultExt,
                                                   const std::string& startDir) = 0;
    virtual std::optional<std::string> AskFolder(const std::string& caption,
                                                 const std::string& startDir) = 0;
    virtual TMsgResult MessageBox(const std::string& text, const std::string& caption,
                                  TMsgIcon icon, TMsgButtons buttons = TMsgButtons::Ok) = 0;
};

} // namespace corvane
