#pragma once

#include "shell/dialogservice.h"

namespace corvane {

/// The dialog service of the window program: Qt's file dialogs and message boxes, shown over the
/// active window.
class TQtDialogService : public IDialogService
{
public:
    std::optional<std::string> AskOpenFile(const std::string& caption, const std::string& filter,
                                           const std::string& startDir) override;
    std::optional<std::string> AskSaveFile(const std::string& caption, const std::string& filter,
                                           const std::string& defaultExt,
                                           const std::string& startDir) override;
    std::optional<std::string> AskFolder(const std::string& caption,
                                         const std::string& startDir) override;
    TMsgResult MessageBox(const std::string& text, const std::string& caption, TMsgIcon icon,
                          TMsgButtons buttons) override;
};

} // namespace corvane
