#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace corvane {

class IDialogService;

enum class TFileEditKind { OpenFile, SaveFile, Folder };

/// A file-name (or folder) field: an edit box with a browse button that asks through the dialog
/// service; optionally a drop-down of recently used files.
class TFileEdit : public QWidget
{
    Q_OBJECT

public:
    TFileEdit(IDialogService& dialogs, TFileEditKind kind, QString dialogCaption, QString filter,
              QString defaultExt, bool withHistory, QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);
    /// The path as UTF-8, trimmed.
    std::string Path() const;
    /// The drop-down entries (only for a field with history); the typed text stays.
    void SetHistory(const std::vector<std::string>& paths);
    /// The folder the browse dialog starts in while the field is empty.
    void SetStartDir(const std::string& dir) { m_StartDir = dir; }

    /// Opens the browse dialog, as a click on the button does.
    void Browse();

    QLineEdit* Edit = nullptr;
    QComboBox* HistoryBox = nullptr; // null without history
    QToolButton* BrowseBtn = nullptr;

private:
    IDialogService& m_Dialogs;
    TFileEditKind m_Kind;
    std::string m_Caption;
    std::string m_Filter;
    std::string m_DefaultExt;
    std::string m_StartDir;
};

} // namespace corvane
