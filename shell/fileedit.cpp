#include "shell/fileedit.h"

#include "shell/dialogservice.h"
#include "shell/textconv.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

#include <filesystem>

namespace corvane {

TFileEdit::TFileEdit(IDialogService& dialogs, TFileEditKind kind, QString dialogCaption,
                     QString filter, QString defaultExt, bool withHistory, QWidget* parent)
    : QWidget(parent), m_Dialogs(dialogs), m_Kind(kind), m_Caption(ToUtf8(dialogCaption)),
      m_Filter(ToUtf8(filter)), m_DefaultExt(ToUtf8(defaultExt))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    if (withHistory) {
        HistoryBox = new QComboBox(this);
        HistoryBox->setEditable(true);
        HistoryBox->setInsertPolicy(QComboBox::NoInsert);
        HistoryBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        HistoryBox->setMinimumContentsLength(20);
        Edit = HistoryBox->lineEdit();
        layout->addWidget(HistoryBox, 1);
    } else {
        Edit = new QLineEdit(this);
        layout->addWidget(Edit, 1);
    }
    BrowseBtn = new QToolButton(this);
    BrowseBtn->setIcon(style()->standardIcon(
        kind == TFileEditKind::Folder ? QStyle::SP_DirOpenIcon : QStyle::SP_FileDialogStart));
    BrowseBtn->setAccessibleName(dialogCaption);
    layout->addWidget(BrowseBtn);
    connect(BrowseBtn, &QToolButton::clicked, this, &TFileEdit::Browse);
}

QString TFileEdit::Text() const
{
    return Edit->text();
}

void TFileEdit::SetText(const QString& text)
{
    Edit->setText(text);
}

std::string TFileEdit::Path() const
{
    return ToUtf8(Edit->text().trimmed());
}

void TFileEdit::SetHistory(const std::vector<std::string>& paths)
{
    if (!HistoryBox)
        return;
    const QString typed = Edit->text();
    HistoryBox->clear();
    for (const std::string& path : paths)
        HistoryBox->addItem(FromUtf8(path));
    Edit->setText(typed);
}

void TFileEdit::Browse()
{
    std::string start = m_StartDir;
    if (const std::string current = Path(); !current.empty()) {
        const std::filesystem::path p(current);
        start = m_Kind == TFileEditKind::Folder ? current : p.parent_path().string();
    }
    std::optional<std::string> chosen;
    switch (m_Kind) {
    case TFileEditKind::OpenFile:
        chosen = m_Dialogs.AskOpenFile(m_Caption, m_Filter, start);
        break;
    case TFileEditKind::SaveFile:
        chosen = m_Dialogs.AskSaveFile(m_Caption, m_Filter, m_DefaultExt, start);
        break;
    case TFileEditKind::Folder:
        chosen = m_Dialogs.AskFolder(m_Caption, start);
        break;
    }
    if (chosen)
        SetText(FromUtf8(*chosen));
}

} // namespace corvane
