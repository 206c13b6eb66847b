#pragma once

#include "models/ldadataset.h"
#include "tables/fgstreamdata.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>

class QLineEdit;
class QPushButton;
class QScrollBar;
class QTableWidget;
class QToolButton;

namespace corvane {

class IDialogService;

/// The "Topic Fixing" window: shows the fixed-topics table ten rows at a time and writes the
/// edited topic numbers back into it whenever the rows move or the grid loses the focus. It
/// holds the table open while shown; searching and resetting use the loaded word map.
class TFixTopicsFrm : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kMaxVisibleRows = 10;

    TFixTopicsFrm(IDialogService& dialogs, std::string tableFile,
                  std::shared_ptr<const TLdaInput> input, QWidget* parent = nullptr);
    ~TFixTopicsFrm() override;

    /// Stores every shown topic cell that holds an integer, then shows the rows from the scroll
    /// bar's position.
    void Refresh();

    void SearchBtnClick();
    void ExportBtnClick();
    void LoadBtnClick();
    void ResetBtnClick();

    QTableWidget* Grid;
    QScrollBar* ScrollBar;
    QLineEdit* SearchEdit;
    QToolButton* SearchBtn;
    QPushButton* ExportBtn;
    QPushButton* LoadBtn;
    QPushButton* ResetBtn;
    QPushButton* CloseBtn;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Opens the table and shows it from its first row; the grid's cells are not written back.
    void OpenTable();
    void CloseTable();
    void WriteBack();
    void ScrollBy(int rows);
    void FitWordColumn();
    void ShowError(const std::string& text);

    IDialogService& m_Dialogs;
    std::string m_TableFile;
    std::shared_ptr<const TLdaInput> m_Input;
    TFGStreamData m_Table;
    int32_t m_VisibleRows = 0;
    int32_t m_PrevPosition = -1; // the rows the grid shows start here; -1 for none
    bool m_FirstActivated = true;
    QMetaObject::Connection m_FocusWatch;
};

} // namespace corvane
