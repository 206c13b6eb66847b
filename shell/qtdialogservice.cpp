#include "shell/qtdialogservice.h"

#include "shell/textconv.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace corvane {
namespace {

std::optional<std::string> Chosen(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    return ToUtf8(path);
}

QMessageBox::Icon BoxIcon(TMsgIcon icon)
{
    switch (icon) {
    case TMsgIcon::Information:
        return QMessageBox::Information;
    case TMsgIcon::Warning:
        return QMessageBox::Warning;
    case TMsgIcon::Error:
        return QMessageBox::Critical;
    case TMsgIcon::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons BoxButtons(TMsgButtons buttons)
{
    switch (buttons) {
    case TMsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case TMsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

} // namespace

std::optional<std::string> TQtDialogService::AskOpenFile(const std::string& caption,
                                                         const std::string& filter,
                                                         const std::string& startDir)
{
    return Chosen(QFileDialog::getOpenFileName(QApplication::activeWindow(), FromUtf8(caption),
                                               FromUtf8(startDir), FromUtf8(filter)));
}

std::optional<std::string> TQtDialogService::AskSaveFile(const std::string& caption,
                                                         const std::string& filter,
                                                         const std::string& defaultExt,
                                                         const std::string& startDir)
{
    QFileDialog dialog(QApplication::activeWindow(), FromUtf8(caption), FromUtf8(startDir),
                       FromUtf8(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(FromUtf8(defaultExt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return Chosen(dialog.selectedFiles().constFirst());
}

std::optional<std::string> TQtDialogService::AskFolder(const std::string& caption,
                                                       const std::string& startDir)
{
    return Chosen(QFileDialog::getExistingDirectory(QApplication::activeWindow(), FromUtf8(caption),
                                                    FromUtf8(startDir)));
}

TMsgResult TQtDialogService::MessageBox(const std::string& text, const std::string& caption,
                                        TMsgIcon icon, TMsgButtons buttons)
{
    QMessageBox box(BoxIcon(icon), FromUtf8(caption), FromUtf8(text), BoxButtons(buttons),
                    QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TMsgResult::Yes;
    case QMessageBox::No:
        return TMsgResult::No;
    case QMessageBox::Cancel:
        return TMsgResult::Cancel;
    default:
        return TMsgResult::Ok;
    }
}

} // namespace corvane
